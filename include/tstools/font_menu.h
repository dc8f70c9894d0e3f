/* Font menu settings, the font sample cache and the font menu dialog. */
#ifndef TSTOOLS_FONT_MENU_H
#define TSTOOLS_FONT_MENU_H

#include <tstools/menus.h>

#endif
