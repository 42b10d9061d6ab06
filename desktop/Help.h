#pragma once

#include "controls/Form.h"

#include <QString>

class QTextBrowser;

namespace desktop {

// The file names of the user's guide in the program folder: the help
// document the help window shows, and the same guide as a web page.
inline const QString HelpFileName = QStringLiteral("LDX.hlp");
inline const QString HomePageFileName = QStringLiteral("LDX.html");

// The viewer's own help window: the user's guide, an HTML document, with
// its links followed inside the window.
class HelpWindow : public controls::Form {
    Q_OBJECT
public:
    static HelpWindow &instance() { return controls::FormInstance<HelpWindow>::get(); }
    static HelpWindow *loaded() { return controls::FormInstance<HelpWindow>::loaded(); }

    QTextBrowser *Browser = nullptr;

    // Shows the document at `hostPath` from its beginning.
    void showDocument(const QString &hostPath);

private:
    friend class controls::FormInstance<HelpWindow>;
    HelpWindow();
};

// Opens the help document at `hostPath` in the help window and brings it
// forward: what the shell does with the viewer's ".hlp" files.
void openHelpDocument(const QString &hostPath);

// Opens the product's home page in the user's web browser: the user's guide
// as a page beside the program, since the viewer works without a network.
void OpenHomePage();

} // namespace desktop
