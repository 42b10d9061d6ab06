#pragma once

#include "controls/Form.h"

#include <QString>
#include <QStringList>

class QPushButton;

namespace controls {
class Label;
class PictureBox;
} // namespace controls

namespace files {

// The picture-folder tree on drive C:, parents before their sub-folders.
inline const QStringList PictureFolders = {
    QStringLiteral("C:\\PicFolder"),          QStringLiteral("C:\\PicFolder\\Temp"),
    QStringLiteral("C:\\PicFolder\\HomePage"), QStringLiteral("C:\\PicFolder\\For Work"),
    QStringLiteral("C:\\PicFolder\\Future Use"), QStringLiteral("C:\\PicFolder\\Personal"),
};

// Creates each folder of the tree in turn, one level at a time: a folder
// that exists or cannot be made (no drive C:, a read-only drive, a missing
// parent, a file of that name) is skipped without a word.
void createPictureFolders();

// "Creat/View PicFolder": one picture button that creates the picture
// folders and takes the main window to C:\PicFolder.
class Form12 : public controls::Form {
    Q_OBJECT
public:
    static Form12 &instance() { return controls::FormInstance<Form12>::get(); }
    static Form12 *loaded() { return controls::FormInstance<Form12>::loaded(); }

    controls::PictureBox *Picture1 = nullptr;
    controls::Label *Label2 = nullptr; // "C:\PicFolder"
    QPushButton *Command1 = nullptr;   // the picture button

    void Command1_Click();

private:
    friend class controls::FormInstance<Form12>;
    Form12();
};

} // namespace files
