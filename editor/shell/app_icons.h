// Toolbar and menu images: the desktop theme's icon where the theme has one,
// otherwise a drawn 32 x 32 picture, so no command ever shows an empty square.
#pragma once

#include <QIcon>

namespace lumora::shell {

enum class IconId {
    New,
    Open,
    Save,
    SaveAs,
    Close,
    CloseAll,
    Print,
    PrintSetup,
    Exit,
    Config,
    Upload,
    Download,
    Firmware,
    Cascade,
    TileHorizontal,
    TileVertical,
    About,
    Support,
    Web,
    Help,
    SortAscending,
    SortDescending,
    Application,
    Undo,
    Redo
};

QIcon LumoraIcon(IconId id);

// The drawn picture alone (used for the theme fall-back and for tests).
QPixmap DrawnIcon(IconId id, int size = 32);

}  // namespace lumora::shell
