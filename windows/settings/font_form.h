#pragma once

#include "widgets/dialog_form.h"
#include "windows/settings/view_appearance.h"
#include "windows/window_opener.h"

#include <optional>

class QListWidget;
class QPushButton;
class QToolButton;
class QFrame;

namespace orbita {

class ThtmlLite;

// The appearance dialog "Ustawienia wyglądu": font, size and colours of one
// window's HTML views, with a live preview and ten ready-made schemes. It
// stores nothing itself: the calling window reads Appearance() after OK,
// applies it and writes its five values (WriteViewAppearance).
class TFontForm final : public TDialogForm {
    Q_OBJECT

public:
    explicit TFontForm(QWidget* parent = nullptr);
    ~TFontForm() override;
    Q_DISABLE_COPY_MOVE(TFontForm)

    // The calling protocol in one call: the dialog opens on `current`; gives
    // the edited appearance on OK, nothing on Cancel.
    static std::optional<ViewAppearance> Edit(QWidget* owner, const ViewAppearance& current);
    // Edit for a window whose fixed-pitch text follows its text font: on OK
    // `appearance` takes the choice, its preformatted font the chosen font,
    // and the result is true; on Cancel nothing changes.
    static bool EditWindowAppearance(QWidget* owner, ViewAppearance& appearance);

    // Copies the window's appearance into the preview and selects its font
    // name and size in the lists (no selection when they are not listed).
    void SetAppearance(const ViewAppearance& appearance);
    // The appearance being edited (the preview shows it).
    ViewAppearance Appearance() const;

    // Handlers.
    void StylListaClick();
    void FontSizeBoxClick();
    void ThemeBoxClick();
    void DefaultButtonClick();
    void BackgroundColorPickerClick();
    void FontColorPickerClick();
    void LinkColorPickerClick();

    // Components, for the windows' tests.
    ThtmlLite* PreviewHtml = nullptr;
    QFrame* PodgladPanel = nullptr;
    QListWidget* StylLista = nullptr;
    QListWidget* FontSizeBox = nullptr;
    QListWidget* ThemeBox = nullptr;
    QToolButton* BackgroundColorPicker = nullptr;
    QToolButton* FontColorPicker = nullptr;
    QToolButton* LinkColorPicker = nullptr;
    QPushButton* ConfirmButton = nullptr;
    QPushButton* DefaultButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    // F1 opens the help topic of the window under this one.
    void helpRequested() override { ShowHelpFor(this); }

private:
    void applyToPreview(const ViewAppearance& appearance);
    void showSelections();
    void showColors();
    void pickColor(AppearanceColor ViewAppearance::*member);

    ViewAppearance m_appearance; // as the preview shows it, system colours unresolved
};

} // namespace orbita
