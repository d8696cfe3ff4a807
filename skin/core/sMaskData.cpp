#include "skin/core/sMaskData.h"

int WidthOfImage(const TsMaskData& MaskData)
{
    return MaskData.ImageCount > 0 ? MaskData.R.Width() / MaskData.ImageCount : 0;
}

int HeightOfImage(const TsMaskData& MaskData)
{
    int parts = MaskData.MaskType + 1;
    return parts > 0 ? MaskData.R.Height() / parts : 0;
}
