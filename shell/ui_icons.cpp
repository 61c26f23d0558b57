// The icons' own bitmaps go into the image list, which copies them: Wine draws an icon into
// an image list three times slower than it copies its bitmaps. The icons and the copies of
// their bitmaps are given back at once.
#include "shell/ui_icons.h"

#include "shell/app.h"

HIMAGELIST loadIconList(const int *ids, size_t count)
{
    HIMAGELIST images = ImageList_Create(SMALL_ICON_SIZE, SMALL_ICON_SIZE, ILC_MASK, (int)count, 1);
    for (size_t i = 0; i < count; i++) {
        HICON icon = (HICON)LoadImageA(appInstance, MAKEINTRESOURCEA(ids[i]), IMAGE_ICON,
                                       SMALL_ICON_SIZE, SMALL_ICON_SIZE, LR_DEFAULTCOLOR);
        ICONINFO bitmaps;
        if (icon != nullptr && GetIconInfo(icon, &bitmaps)) {
            ImageList_Add(images, bitmaps.hbmColor, bitmaps.hbmMask);
            DeleteObject(bitmaps.hbmColor);
            DeleteObject(bitmaps.hbmMask);
        }
        DestroyIcon(icon);
    }
    return images;
}
