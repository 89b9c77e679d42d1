#pragma once
// The navigation image list, shared by every user and counted: the first
// user makes it, the last one to let go frees it. Indices: 0 back a minute,
// 1 back a second, 2 back a frame, 3 forward a frame, 4 forward a second,
// 5 forward a minute, 6 end, 7 start, 8 pause, 9 play.

#include <QIcon>
#include <QList>

namespace navimages {

QList<QIcon> Acquire();
void Release();
// Users holding the list now.
int Users();

} // namespace navimages
