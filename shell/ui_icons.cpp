// An image list keeps its own copy of every icon put in, so the icons are destroyed at once.
#include "shell/ui_icons.h"

#include "shell/app.h"

HIMAGELIST loadIconList(const int *ids, size_t count)
{
    HIMAGELIST images = ImageList_Create(SMALL_ICON_SIZE, SMALL_ICON_SIZE, ILC_MASK, (int)count, 1);
    for (size_t i = 0; i < count; i++) {
        HICON icon = (HICON)LoadImageA(appInstance, MAKEINTRESOURCEA(ids[i]), IMAGE_ICON,
                                       SMALL_ICON_SIZE, SMALL_ICON_SIZE, LR_DEFAULTCOLOR);
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    }
    return images;
}
