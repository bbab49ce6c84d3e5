#pragma once

// A top-level window. A program's window class derives from TForm, creates its controls in
// its constructor (owner `this`) and binds its handlers there:
//
//     TForm1::TForm1(TComponent* owner) : TForm(owner) {
//         SetCaption("Wysyłanie danych"_w);
//         SetClientWidth(350); ...
//         LB1 = new TListBox(this);
//         OnActivate = [this](TObject* s) { FormActivate(s); };
//     }
//
// OnCreate fires after the whole constructor has run (TApplication::CreateForm calls
// AfterConstruction; a form created by hand calls it itself).

#include <vcl/WinControl.h>

#include <functional>
#include <memory>
#include <string>

class QEventLoop;

namespace vcl {

class TButton;
class TGraphic;
class TMainMenu;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
  public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    // Raises OnDestroy (Free and the owner's destruction come through here).
    void BeforeDestruction() override;

    // Raises OnCreate once; call it after constructing a form not made by CreateForm.
    void AfterConstruction();

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);

    // For a form, Left/Top is the outer corner of the window, the frame the window manager
    // draws included, and Width/Height is the window inside that frame; the client area is
    // that less the menu bar, if the form has one. Controls' Left/Top count from the client
    // area's corner.
    int ClientWidth() const override { return Width(); }
    int ClientHeight() const override;
    void SetClientWidth(int v) { SetWidth(v); }
    void SetClientHeight(int v);

    // The window's icon in its title bar and the task bar (nullptr: the platform's own). The
    // form keeps a copy that shares the picture's pixels; an empty picture clears it.
    const TGraphic* Icon() const { return m_icon.get(); }
    void SetIcon(const TGraphic& picture);

    // The menu bar (nullptr: none).
    TMainMenu* Menu() const { return m_menu; }
    void SetMenu(TMainMenu* menu);
    void SetBounds(int left, int top, int width, int height) override;

    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    // bsSingle and bsDialog fix the size; bsSizeable lets the user resize.
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return m_position; }
    // poScreenCenter / poDesktopCenter centre the window on the screen when it is shown.
    void SetPosition(TPosition position) { m_position = position; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle style);
    bool KeyPreview() const { return m_keyPreview; }
    // While true the form's OnKeyDown sees every key before the focused control does.
    void SetKeyPreview(bool value) { m_keyPreview = value; }

    // The default button: Enter presses it (unless another button has the focus).
    TButton* DefaultButton() const { return m_defaultButton; }
    // The cancel button: Esc presses it.
    TButton* CancelButton() const { return m_cancelButton; }

    // Shows the window without making it modal.
    void Show();
    // Shows the form and runs a message loop of its own until ModalResult is set (a button's
    // ModalResult, Close, the close box: mrCancel), then hides it and returns the result.
    // While it is open, the thread's other enabled top-level windows are disabled; they are
    // enabled again when it closes. rtl::Exception for a form that is visible already.
    TModalResult ShowModal();
    // True while ShowModal runs for this form.
    bool Modal() const { return m_modalLoop != nullptr; }
    TModalResult ModalResult() const { return m_modalResult; }
    // Setting a result other than mrNone closes a modal form once the current event is over
    // (hidden as soon as messages are handled again); OnClose may keep it open (caNone), which
    // sets the result back to mrNone.
    void SetModalResult(TModalResult result);
    void SetVisible(bool visible) override;
    // Raises the window above the others and gives it the focus.
    void BringToFront();
    // Closes the form: OnClose decides the action (caHide by default); closing the main form
    // ends the message loop as soon as the event that closed it has been handled. A modal
    // form gets mrCancel as its result instead.
    void Close();
    // Destroys the form once the current event is over.
    void Release();
    // True while the form is the application's active form.
    bool Active() const;
    // The focused control of the form, or nullptr.
    TWinControl* ActiveControl() const;

    TNotifyEvent OnCreate;
    // Raised when the form becomes the application's active form: after it is first shown,
    // and again only when another form of the application was active in between (message
    // boxes and other programs do not count).
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TNotifyEvent OnDestroy;

    // Toolkit internals: key routing and activation (called from the event plumbing).
    void LayoutMenuBar();
    bool HandleFormKey(TWinControl* target, WORD& key, TShiftState shift);
    void HandleActivation();
    void HandleCloseRequest();

  protected:
    QWidget* ClientWidget() const override;

  private:
    friend class TButton;
    int menuHeight() const;
    void setDefaultButton(TButton* b, bool on);
    void setCancelButton(TButton* b, bool on);
    void applyWindowFlags();
    void placeOnScreen();
    bool closeModal();
    void tryCloseModal();

    std::string m_caption;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition m_position = poDesigned;
    TFormStyle m_formStyle = fsNormal;
    TWindowState m_pendingState = wsNormal;
    bool m_keyPreview = false;
    bool m_created = false;
    bool m_placed = false;
    bool m_closing = false;
    TButton* m_defaultButton = nullptr;
    TButton* m_cancelButton = nullptr;
    TMainMenu* m_menu = nullptr;
    std::unique_ptr<TGraphic> m_icon;
    QWidget* m_client = nullptr; // holds the controls below a menu bar
    TModalResult m_modalResult = mrNone;
    QEventLoop* m_modalLoop = nullptr; // the loop of ShowModal while it runs
    bool m_modalDone = false;          // the modal form has closed
    bool m_modalClosePending = false;  // a close for the result set is on its way
    int m_modalDepth = 0;              // the handlers running when ShowModal began
};

} // namespace vcl
