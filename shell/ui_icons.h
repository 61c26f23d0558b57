// The interface icons: the toolbar's images and the list's check boxes, drawn at 16 x 16 so
// that they get the small image the artwork has, not a scaled-down 32 x 32 one.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>

enum { SMALL_ICON_SIZE = 16 };

// An image list of the icon resources ids, in order; it lives as long as the program.
HIMAGELIST loadIconList(const int *ids, size_t count);
