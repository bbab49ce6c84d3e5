#pragma once

// The toolkit's small value types: sets, key codes and the enumerations of forms and controls.

#include <cstdint>
#include <initializer_list>

namespace vcl {

using WORD = std::uint16_t;

// A set of enumeration values (the toolkit's "set of" type): Contains, << to add, >> to remove.
template <class E> class TSet {
  public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            m_bits |= bit(e);
    }
    constexpr bool Contains(E e) const { return (m_bits & bit(e)) != 0; }
    constexpr TSet& operator<<(E e) {
        m_bits |= bit(e);
        return *this;
    }
    constexpr TSet& operator>>(E e) {
        m_bits &= ~bit(e);
        return *this;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr bool operator==(const TSet&) const = default;

  private:
    static constexpr std::uint32_t bit(E e) { return std::uint32_t{1} << static_cast<unsigned>(e); }
    std::uint32_t m_bits = 0;
};

// A rectangle in pixels; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool operator==(const TRect&) const = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// The mouse pointer shown over a control: one of the platform's standard cursors.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                         crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                         crHourGlass = -11, crDrag = -12, crNo = -18, crHandPoint = -21, crAppStart = -19;

// Modifier keys and mouse buttons held during a key or mouse event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// Placement of a control inside its parent's client area. Aligned controls are laid out in
// this order: alTop (top to bottom), alBottom (bottom to top), alLeft, alRight, then alClient
// takes what is left. Among visible controls of one alignment the one created first sits at
// the edge; their positions do not count.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;

// A control's own border: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;

enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
using enum TPosition;

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;

// What closing a form does: caNone keeps it open, caHide hides it, caFree hides and destroys it
// (later, once the current event is over), caMinimize minimises it.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

// How a modal form was closed (TForm::ShowModal's result); mrNone while it is open.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
using enum TBevelShape;
enum class TBevelStyle { bsLowered, bsRaised };
using enum TBevelStyle;

enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
using enum TStaticBorderStyle;

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using enum TScrollStyle;

enum class TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
using enum TGaugeKind;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;

// Which entries a file list shows. ftNormal: plain files (read-only and archived ones
// included); hidden, system and folder entries only when their item is in the set.
enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = TSet<TFileAttr>;

// A menu shortcut: the virtual-key code with scShift, scCtrl and scAlt for the modifiers.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
constexpr TShortCut ShortCut(WORD key, TShiftState shift) {
    return static_cast<TShortCut>((key & 0xFF) | (shift.Contains(ssShift) ? scShift : 0) |
                                  (shift.Contains(ssCtrl) ? scCtrl : 0) | (shift.Contains(ssAlt) ? scAlt : 0));
}

// Virtual-key codes, as the platform numbers them (the key handlers' `Key`).
inline constexpr WORD VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                      VK_MENU = 0x12, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
                      VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
                      VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E;
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
inline constexpr WORD VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
                      VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B;
inline constexpr WORD VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_MULTIPLY = 0x6A, VK_DIVIDE = 0x6F;

} // namespace vcl
