#pragma once
// The program's pictures, drawn once on demand: the program icon, the logo and banner, the QQ
// contact button, the navigator's category pictures and the shared tool image list `il_Tool` that
// menus and buttons use.
#include <QIcon>
#include <QPixmap>
#include <QStyle>

// Indices of the shared tool image list in use.
enum ToolImageIndex {
    tiRefresh = 1,
    tiRecharge = 3,
    tiHomePage = 5,
    tiQQ = 7,
    tiGuidePublisher = 9,
    tiGuideHandler = 10,
    tiExitApp = 17,
    tiShowMainForm = 18,
};

// One picture of the tool image list `il_Tool` (an empty icon for an index not in use).
QIcon ToolImage(int index);

// One of the style's standard pictures, looked up once per run and shared afterwards: the style
// builds each from the icon theme on every call, which made the start-up build the same few icons
// dozens of times (the paging buttons of every list, the rows' pictures).
QIcon StandardIcon(QStyle::StandardPixmap which);

// The program's icon (window and tray).
QIcon ProgramIcon();
// The platform logo, 184 x 60.
QPixmap LogoPixmap();
// The login dialog's banner, width x 70.
QPixmap BannerPixmap(int width);
// The "QQ交谈" contact button picture.
QPixmap QQContactPixmap();
// The 32 x 32 pictures of the navigator's category headers: 0 tasks, 1 logs, 2 personal centre.
QPixmap CategoryPixmap(int which);
// The about dialog's 64 x 64 picture.
QPixmap AboutPixmap();
