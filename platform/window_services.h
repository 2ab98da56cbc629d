#pragma once

#include <QIcon>
#include <QList>
#include <QString>

class QLabel;
class QMenu;
class QPainter;
class QRect;
class QSize;
class QWidget;
class QPoint;

namespace orbita {

// The common services of the program's windows. A window is named in the
// store by its objectName() ("HelpForm"); its placement lives in
// Software\Orbita\<User>\Placement as <name>Left, <name>Top and, for
// sizeable windows, <name>Width and <name>Height.
//
// Windows are designed at their outer size including a caption bar of
// kCaptionHeight pixels; the caption is removed when the window opens (it
// becomes frameless and that much lower), and the stored height is the
// window's height plus kCaptionHeight, so a window closed 400 pixels high
// stores 426 and reopens 400 pixels high.
constexpr int kCaptionHeight = 26;

// Whether the window may be resized by the user (the dynamic property
// "orbitaSizeable"); sizeable windows keep their size as well as their place.
void SetSizeable(QWidget& window, bool sizeable);
bool IsSizeable(const QWidget& window);

// Call before the window is first shown: the open sound (when Sounds is 1 and
// the WindowOpenSound file exists), the ten-minute hint pause, the saved
// placement (when SaveWindowsPlacement is 1 and <name>Left exists, applied as
// stored), and the caption removal. Nothing is read for the account while
// User is empty. A window whose size was never set (left to its layout) is not
// made lower, as it never included a caption. A window with no saved
// placement that its own code has not moved is centred on its screen
// (CentreOnScreen).
void OpenWindowServices(QWidget& window);

// The one placing rule of the program's windows: centred in the available
// area of the screen (the parent's screen for a window with a parent, else
// the primary one). A window larger than the area keeps its top-left corner
// inside it. The window's size is settled first (its layout activated; a
// window whose size was never set takes its layout's).
void CentreOnScreen(QWidget& window);
// Where a window of `size` stands centred in `area`.
QPoint CentredPosition(const QSize& size, const QRect& area);

// Call while the window is still shown, as it closes: the close sound and,
// while User is not empty, the placement (the normal bounds of a maximised
// window), whatever SaveWindowsPlacement says.
void CloseWindowServices(QWidget& window);

// Paints the window's background: E4E4E4, and over it the texture of
// BackgroundPath tiled from (0, 0) when UseBackground is 1 (the account is
// User, or Administrator while nobody is logged in). The file is read at every
// paint; a file that is missing or not a picture leaves the plain colour.
void PaintBackground(QWidget& window, QPainter& painter);

// How long tooltips stay up, in milliseconds (default: Qt's own timing,
// -1). Setting it installs an application-wide filter that shows every
// widget's tooltip for that long; widgets that show their own hints read it.
void SetHintHidePause(int milliseconds);
int HintHidePause();

// Pictures from the program's resources, ":/res/<NAME>.png". A missing picture
// draws nothing and never fails.
// Puts the picture beside the menu's action at `position` (from 0).
void SetMenuItemImage(const QString& resourceName, QMenu& menu, int position);
// Appends the picture at size x size to the list; a missing picture appends an
// empty (transparent) icon so that the indices of later icons stay right.
void AddResourceIcon(const QString& resourceName, QList<QIcon>& imageList, int size);
// A tool icon in both its sizes, "<NAME>_32" and "<NAME>_16", as one icon;
// a size that is missing is left out, and null when both are.
QIcon ToolIcon(const QString& baseName);
// Shows the picture in the label at its top-left corner.
void DrawResourceBitmap(QLabel& image, const QString& resourceName);

} // namespace orbita
