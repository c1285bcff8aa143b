// How a pane's window onto its history moves as texts come and go and the reader scrolls.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/historywindow.h"

#include <algorithm>
#include <cmath>

int HistoryWindow::arrive(int texts, bool following)
{
    int in = 0;
    if (textsAfter == 0)
        in = following ? texts : std::clamp(room() - textsInside, 0, texts);
    textsInside += in;
    textsAfter += texts - in;
    return in;
}

int HistoryWindow::overflow(bool following)
{
    if (!following || textsAfter > 0 || textsInside <= room())
        return 0;
    const int leaving = textsInside - cap;
    textsInside -= leaving;
    textsBefore += leaving;
    return leaving;
}

int HistoryWindow::forget(int texts)
{
    int going = std::min(texts, textsBefore);
    textsBefore -= going;
    texts -= going;
    going = std::min(texts, textsInside);
    textsInside -= going;
    textsAfter -= std::min(texts - going, textsAfter);
    return going;
}

void HistoryWindow::moveAround(int text)
{
    const int all = total();
    textsBefore = std::clamp(text - cap / 2, 0, std::max(0, all - cap));
    textsInside = std::min(cap, all - textsBefore);
    textsAfter = all - textsBefore - textsInside;
}

bool HistoryWindow::nearEdge(int top, int bottom) const
{
    const int reach = std::max(1, cap / 10);
    return (textsBefore > 0 && top < textsBefore + reach)
        || (textsAfter > 0 && bottom >= textsBefore + textsInside - reach);
}

int HistoryWindow::textAtHeight(double y, double textHeight, double windowHeight) const
{
    if (total() == 0 || textHeight <= 0)
        return 0;
    const double windowTop = textsBefore * textHeight;
    int text = 0;
    if (y < windowTop)
        text = int(std::floor(y / textHeight));
    else if (y < windowTop + windowHeight)
        text =
            textsBefore + (textsInside > 0 ? int((y - windowTop) / windowHeight * textsInside) : 0);
    else
        text = textsBefore + textsInside
            + int(std::floor((y - windowTop - windowHeight) / textHeight));
    return std::clamp(text, 0, total() - 1);
}
