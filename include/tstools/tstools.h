/* Everything a host needs: include this one header. */
#ifndef TSTOOLS_TSTOOLS_H
#define TSTOOLS_TSTOOLS_H

#include <tstools/types.h>
#include <tstools/frame.h>
#include <tstools/memory.h>
#include <tstools/codeset.h>
#include <tstools/intl_text.h>
#include <tstools/font.h>
#include <tstools/charset.h>
#include <tstools/settings.h>
#include <tstools/popup_menu.h>
#include <tstools/menus.h>
#include <tstools/font_menu.h>
#include <tstools/quickdraw.h>
#include <tstools/grafport.h>
#include <tstools/window.h>
#include <tstools/shapes.h>
#include <tstools/text.h>
#include <tstools/textedit.h>
#include <tstools/text_layout.h>
#include <tstools/text_measure.h>
#include <tstools/picture.h>
#include <tstools/picture_record.h>
#include <tstools/picture_convert.h>
#include <tstools/gif.h>
#include <tstools/jpeg.h>
#include <tstools/scrap.h>
#include <tstools/drag.h>
#include <tstools/sound.h>
#include <tstools/movies.h>
#include <tstools/numerics.h>
#include <tstools/dates.h>
#include <tstools/resources.h>
#include <tstools/events.h>
#include <tstools/controls.h>
#include <tstools/utilities.h>
#include <tstools/ticks.h>
#include <tstools/themed_drawing.h>
#include <tstools/ps_fonts.h>
#include <tstools/app_files.h>
#include <tstools/standard_file.h>
#if __has_include(<tstools/host_resource_ids.h>)
#include <tstools/host_resource_ids.h>
#endif

#endif
