#pragma once

#include "controls/Form.h"

#include <QString>
#include <QStringList>

class QGroupBox;
class QPushButton;

namespace controls {
class Label;
class ListBox;
} // namespace controls

namespace files {

// Captions that tell the bookmark window's three modes apart.
inline const QString BookmarkCaption = QStringLiteral("Bookmark");
inline const QString PickerCaption = QStringLiteral("Double click the destination path");
inline const QString SlideShowStartCaption = QStringLiteral("Double click the path from where the slideshow runs");

// "bookmark.ini" in the program's folder (host path).
QString bookmarkFilePath();

// The "Bookmark" window: the bookmarked folders, kept in file order. Loading
// it reads the file; every unload writes it back, and an unload whose save
// fails is refused, the list kept in sight. Opened while the main
// window or its folder list is disabled (a file operation dialog or a show
// holds it), it becomes a destination picker; a caller that sets
// SlideShowStartCaption makes it a slide-show start.
class Form9 : public controls::Form {
    Q_OBJECT
public:
    // The loaded window, or a new one, loaded from the file, when none is.
    static Form9 &instance() { return controls::FormInstance<Form9>::get(); }
    static Form9 *loaded() { return controls::FormInstance<Form9>::loaded(); }

    controls::Label *Label1 = nullptr;  // "List of bookmark(s):"
    controls::ListBox *List1 = nullptr; // the bookmarked folders
    QGroupBox *Frame1 = nullptr;        // "Add"
    QPushButton *Command1 = nullptr;    // "&Current path"
    QPushButton *Command5 = nullptr;    // "&Browse..."
    QGroupBox *Frame2 = nullptr;        // "Operations"
    QPushButton *Command2 = nullptr;    // "&Remove"
    QPushButton *Command4 = nullptr;    // "&Load"
    // Hidden commands, run by the double-click rule and by closing.
    QPushButton *Command7 = nullptr; // "&Apply "
    QPushButton *Command6 = nullptr; // "Start SlideShow"
    QPushButton *Command3 = nullptr; // "Save"

    void PickerLayout();
    void Command1_MouseDown(int button);
    void Command5_Click();
    void Command2_Click();
    void Command4_Click();
    void Command6_Click();
    void Command7_Click();
    void Command3_Click();
    void List1_DblClick();

protected:
    void Form_Unload(int &cancel) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class controls::FormInstance<Form9>;
    Form9();
    void createControls();
    void Form_Load();
    // Appends a folder, unless its path cannot be written to the file.
    void addBookmark(const QString &path);
    // The selected entry's path; empty with none selected.
    QString selectedPath() const;
    // Writes the file. False, after telling the user why, when it could not
    // be written and the list holds what the file does not.
    bool save();

    QStringList m_loaded; // the entries as the file held them
    QByteArray m_rest;    // the file's lines that are not shown, written back after the entries
};

} // namespace files
