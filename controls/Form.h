#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

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

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    // Runs Form_Unload; unless it cancels, the window is hidden, leaves the
    // collection and is deleted once control returns to the event loop.
    // Returns false when the handler cancelled.
    bool Unload();
    bool isUnloaded() const { return m_unloaded; }

    // Geometry in twips: the window's outer position and its client size.
    void setClientSizeTwips(double width, double height);
    // The outer size, frame included (as far as the window system has
    // reported its frame: before the window is first shown it has none).
    void setOuterSizeTwips(double width, double height);
    void moveTwips(double left, double top);
    double LeftTwips() const;
    double TopTwips() const;
    double WidthTwips() const;
    double HeightTwips() const;

signals:
    void unloaded();

protected:
    // Set `cancel` to non-zero to keep the window loaded.
    virtual void Form_Unload(int &cancel) { Q_UNUSED(cancel); }
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_unloaded = false;
    bool m_unloading = false;
};

// The one window of a kind that is loaded at a time, as the runtime keeps a
// form: using it creates it in its design state when none is loaded, and an
// unloaded window (deleted once control returns to the event loop) no
// longer counts, so the next use starts afresh.
template <typename F>
class LoadedForm {
public:
    F *get() const { return m_form && !m_form->isUnloaded() ? m_form.data() : nullptr; }
    template <typename Create>
    F &getOrCreate(Create create)
    {
        if (F *form = get())
            return *form;
        m_form = create();
        return *m_form;
    }

private:
    QPointer<F> m_form;
};

} // namespace controls
