#pragma once

#include <QColor>
#include <QString>

namespace scortavia::palette {

// The program's colours, by role. The style sheet names them as @name; painted widgets use them
// directly, so each colour is written down once.
struct NamedColor {
    const char* name;
    QRgb rgb;
};

inline constexpr NamedColor kColors[] = {
    {"ink", 0x23313A},             // text
    {"teal", 0x167A80},            // selection, hover accents
    {"tealDark", 0x0F5E63},        // status line, headings, the card's position
    {"orange", 0xF28C28},          // focus frames, banner accent
    {"rust", 0xC0561A},            // the waiting label of a search
    {"mist", 0xE4ECEE},            // background of the work areas
    {"mistDeep", 0xCBD8DC},        // lower end of the main menu's background
    {"panelBorder", 0xB9C9CE},     // borders of the white panels
    {"toolbarBorder", 0xC9D6DA},   // border of the toolbar
    {"toolbarFace", 0xF3F7F8},     // background of the toolbar
    {"window", 0xF3F5F6},          // dialogs, read-only boxes
    {"buttonFace", 0xFAFBFB},      // buttons
    {"boxBorder", 0x9FB5BB},       // edit boxes and buttons
    {"hover", 0xE6F0F1},           // a button under the mouse, instruction banners
    {"pressed", 0xD3E5E7},         // a button held down
    {"disabled", 0x9AA7AC},        // text of what cannot be used
    {"disabledBorder", 0xD0D9DC},  // borders of what cannot be used, rules
    {"photoFace", 0xF7F9FA},       // behind a photo
    {"focusFill", 0xFFF4C2},       // the box being typed into, on the screens that fill it
    {"slate", 0x7E8C92},           // around the pages of the print preview
    {"slateDark", 0x4A565B},       // border of a previewed page
    {"linkBlue", 0x1B3F8B},        // a link to a document or a web page; orange while pressed
    {"readyInk", 0x2E7D4F},        // an import row ready to be written
    {"warnInk", 0x9A6400},         // an import row with warnings
    {"warnFill", 0xFFF6DA},
    {"warnCell", 0xFFE08A},   // the cell a warning is about
    {"refuseInk", 0xB0301F},  // an import row refused
    {"refuseFill", 0xFDE7E4},
    {"refuseCell", 0xF6B3AA},  // the cell a refusal is about
    {"skipFill", 0xEEF1F2},    // an import row left out by the user's choice
    {"white", 0xFFFFFF},
    {"black", 0x000000},
};

// The colour of that name; black for a name the table does not have.
QColor color(const char* name);

// The style sheet with every @name replaced by its colour.
QString resolve(QString styleSheet);

}  // namespace scortavia::palette
