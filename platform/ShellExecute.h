#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// ShellExecuteA: hands a file, a folder or a web address to the program the
// desktop associates with it. Handlers reach it through shell(); tests put a
// recording double in place with setShell().
namespace platform {

inline constexpr int SW_SHOWNORMAL = 1;

class Shell {
public:
    virtual ~Shell() = default;
    // `file` is a Windows path ("C:\Photos\a.jpg", "C:\") or an address with
    // a scheme ("https://...", or "file:///..." for a file by its host path).
    // Returns true when the request was handed on;
    // as with ShellExecuteA, callers may ignore the result.
    virtual bool ShellExecute(QWidget *owner, const QString &operation, const QString &file,
                              const QString &parameters, const QString &directory, int showCmd) = 0;
};

Shell &shell();
// Replaces the shell (the program uses the desktop one; tests a double).
void setShell(std::unique_ptr<Shell> instance);

// The desktop's own handlers: xdg-open, started in `directory` (a Windows
// path; the viewer's own working folder when it is empty or missing), or
// QDesktopServices::openUrl where there is no xdg-open. A Windows path is
// turned into its host path through the drive table; a file whose name ends
// in a suffix registered with setOpener goes to that opener instead, so the
// viewer can open its own documents itself.
std::unique_ptr<Shell> makeDesktopShell();

// Opens files whose names end in `suffix` (".hlp", compared without regard to
// case) with `opener`, given the host path. An empty function removes it.
void setOpener(const QString &suffix, std::function<void(const QString &hostPath)> opener);

} // namespace platform
