#include "picture/metafile/Metafile.h"

namespace picture::metafile {

bool looksLikeMetafile(const QByteArray &data)
{
    Q_UNUSED(data);
    return false;
}

std::shared_ptr<const Drawing> load(const QByteArray &data, QString *error)
{
    Q_UNUSED(data);
    if (error)
        *error = QStringLiteral("metafiles are not readable yet");
    return nullptr;
}

} // namespace picture::metafile
