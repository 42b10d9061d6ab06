#pragma once

#include "picture/Picture.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace picture::metafile {

// True when `data` starts like a Windows metafile (placeable or plain WMF) or
// an enhanced metafile.
bool looksLikeMetafile(const QByteArray &data);

// Parses a WMF or EMF file. On failure returns null and sets `error`.
std::shared_ptr<const Drawing> load(const QByteArray &data, QString *error);

} // namespace picture::metafile
