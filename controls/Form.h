#pragma once

#include <QList>
#include <QMargins>
#include <QMainWindow>
#include <QPointer>

class QWindow;

namespace controls {

// A window of the viewer, as the windowing runtime the viewer is written
// against knows it: it is loaded (created), shown and hidden, and unloaded;
// unloading runs its Form_Unload handler first. Every loaded window is in one
// collection, so that the whole program can be unloaded window by window.
class Form : public QMainWindow {
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // The loaded windows, in the order they were loaded.
    static QList<Form *> loadedForms();
    // When set (by the program's entry point), the process ends as soon as
    // the last window is unloaded.
    static void setQuitWhenLastUnloaded(bool quit);

    // Shows the window modeless and brings it in front, as showing a window
    // that is already loaded does.
    void showInFront()
    {
        show();
        raise();
        activateWindow();
    }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    // Runs Form_Unload; unless it cancels, the window is hidden, leaves the
    // collection and is deleted once control returns to the event loop.
    // Returns false when the handler cancelled.
    bool Unload();
    bool isUnloaded() const { return m_unloaded; }

    // Geometry in twips: the window's outer position and its client size.
    void setClientSizeTwips(double width, double height);
    // The outer size, frame and title bar included. The window manager
    // reports the frame some time after the window is first shown, so the
    // size is taken again whenever the frame it was taken for changes.
    void setSizeTwips(double width, double height);
    // A fixed border: the user cannot resize the window, and the sizes set
    // above fix it.
    void setFixedBorder() { m_fixedBorder = true; }
    void moveTwips(double left, double top);
    double LeftTwips() const;
    double TopTwips() const;
    double WidthTwips() const;
    double HeightTwips() const;

signals:
    void unloaded();

protected:
    // A dialog's border: a title bar with its system menu and close box, no
    // minimise or maximise button.
    void setDialogBorder();
    // The client area, for controls placed by their twips geometry, in the
    // small dialog font (8 points) the layouts are measured for.
    QWidget *createClientArea();

    // Set `cancel` to non-zero to keep the window loaded.
    virtual void Form_Unload(int &cancel) { Q_UNUSED(cancel); }
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyOuterSize();
    void applySize(const QSize &size);
    // The frame around the client area and the window with it, as the
    // window system last reported them.
    QMargins frame() const;
    QRect outerGeometry() const;

    bool m_unloaded = false;
    bool m_unloading = false;
    bool m_fixedBorder = false;
    QSize m_outerSize;     // asked for by setSizeTwips, until a client size is set
    QMargins m_frameTaken; // the frame the outer size was last applied for
    QPointer<QWindow> m_watched; // the native window whose frame is followed
};

// A window class of the runtime has one loaded window at most: naming it
// loads a new one, in its design state, when none is loaded. A class with a
// private constructor makes FormInstance<Self> its friend.
template <typename F>
class FormInstance {
public:
    // The loaded window, or nullptr. An unloaded one waits for the event loop
    // to delete it and no longer counts.
    static F *loaded()
    {
        F *form = slot();
        return form && !form->isUnloaded() ? form : nullptr;
    }
    // The loaded window, or a new one.
    static F &get()
    {
        return get([] { return new F; });
    }
    // The same, with `create` making the new one (a window with an owner, or
    // one that runs its load handler).
    template <typename Create>
    static F &get(Create create)
    {
        if (F *form = loaded())
            return *form;
        slot() = create();
        return *slot();
    }

private:
    static QPointer<F> &slot()
    {
        static QPointer<F> form;
        return form;
    }
};

} // namespace controls
