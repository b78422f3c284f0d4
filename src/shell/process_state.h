#pragma once

#include "shell/cls_msg.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace brindle {

class Connection;
class Command;

struct MinTrackSize {
    qint32 x = 0;
    qint32 y = 0;
};

// The process-wide variables of the program, owned by the start-up component.
extern std::unique_ptr<Connection> gcnDB; // the shared connection
extern std::unique_ptr<Command> gcmdDB;   // the shared command; its time-out is the query time-out
extern QString gstrDSN;                   // data source of the last successful connect
extern qint16 gintDocCount;               // open query documents
extern QString gstrSearchWord;            // the last search word
extern bool gblnUpperConv;                // the search ignores case
extern clsMsg gMsg;                       // the start-up component's message service
extern MinTrackSize gptMinTrack;          // the main window's minimum size, in pixels
extern QPointer<QWidget> glngMainHwnd;    // the main window

// gintDocCount + 1, failing with an overflow Error past 32767.
void IncrementDocCount();
// gintDocCount - 1, raised to 0 if it went below.
void DecrementDocCount();

} // namespace brindle
