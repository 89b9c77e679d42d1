#pragma once
// Private messages of the program's elements to the components' message sinks.
// Every message carries copies: parameters by value, records in TNvMessage::data.

#include <QtGlobal>

// notifier -> video manager: TVideoData in data; wParam 4 = geometry, 2 = format text
constexpr quint32 kNvMsgVideoData = 0x2403;
// notifier -> audio manager: TframeData in data; wParam 3
constexpr quint32 kNvMsgAudioData = 0x2404;
// notifier -> DV code relay: TframeData in data
constexpr quint32 kNvMsgDVFrameData = 0x240A;
// notifier -> video window: TDVCodeEntry in data, for the inlay
constexpr quint32 kNvMsgDVCodeEntry = 0x240C;
// frames notifier -> video window: position text (QString in data) when it changed
constexpr quint32 kNvMsgFrameTimeStamp = 0x241A;
// frames notifier -> navigation manager: position text of every frame (QString in
// data), wParam the position (100 ns)
constexpr quint32 kNvMsgPositionText = 0x2420;
// frames notifier, notifier -> navigation manager: wParam the frame duration (100 ns)
constexpr quint32 kNvMsgFrameDuration = 0x2421;
// frames notifier -> target's reply sink: wParam the target, lParam the position
constexpr quint32 kNvMsgTargetReached = 0x2422;
