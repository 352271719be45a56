#pragma once

// A child window of the main window that the document registry tracks: the
// control panels, the phonetic output or a document. Its slot in the
// registry is its Tag, kept as decimal text.

#include "app/documents/Registry.h"
#include "app/documents/WindowState.h"

#include <QWidget>

class MdiChild : public QWidget
{
    Q_OBJECT
public:
    explicit MdiChild(QWidget *parent = nullptr);

    [[nodiscard]] virtual vx::WindowKind kind() const = 0;
    // What the menus and toolbar depend on, read anew at every refresh.
    [[nodiscard]] virtual WindowState state() const = 0;

    // The slot in Tag; -1 before the registry placed the window.
    [[nodiscard]] int slot() const;
    void setSlot(int slot);

    // The window became the active one: unless activation is suppressed or
    // the slot was freed, it becomes the active document and the menus follow.
    virtual void Form_Activate();
    // A close was asked for: setting Cancel keeps the window.
    virtual void Form_QueryUnload(bool &Cancel) { (void)Cancel; }

    // The frame the user sees: the MDI sub-window around this one, or this
    // window itself when it stands alone.
    [[nodiscard]] QWidget *frame();
    [[nodiscard]] const QWidget *frame() const;
    // Visible in the window's sense: its frame shows.
    [[nodiscard]] bool Visible() const;
    void SetVisible(bool visible);
    // Brings the window to the front and gives it the focus.
    void SetFocus();

    // Shows the window in the main window's document area (on its own when
    // there is no main window) and tracks its activation there.
    void ShowInMainWindow();
    // Puts the window into the main window's document area without showing it.
    void AttachToMainWindow();
    // Brings what is shown of the frame inside the document area: no larger
    // than the area, every edge in reach. Each show of the frame does so; the
    // place it was given stays the one stored until the user moves it.
    void KeepInsideDocumentArea();

protected:
    // The tool windows (control panels, phonetic output) live as long as the
    // program: while it runs a close only hides them. True when it hid.
    bool HideWhileRunning(bool &Cancel);
    // Stores "<prefix>Visible", Top and Left (and Height and Width when
    // withSize) in twips for the next start, unless the program ends after a
    // communication error.
    void SaveToolWindowPlace(const QString &prefix, bool withSize) const;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Goes ahead only when Form_QueryUnload does not cancel.
    void closeEvent(QCloseEvent *event) override;
    // A window laid out by hand has no size hint of its own: its frame in
    // the document area would open at the title bar alone. It asks for the
    // size it was given instead.
    [[nodiscard]] QSize sizeHint() const override;

private:
    bool mTracked = false;
    // The place the frame was given before KeepInsideDocumentArea made it
    // fit; null once the user moved or sized it.
    QRect mGivenPlace;
    bool mFitting = false;
};

// The frame of any child: its MDI sub-window, else the widget itself.
[[nodiscard]] QWidget *FrameOf(QWidget *w);

// Gives the editor font to every editor control of a child window: its grid,
// word list, cell editor, word boxes and text box, whichever it has.
void ApplyEditorFont(QWidget *window);
