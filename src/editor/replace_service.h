#pragma once

#include "editor/find_replace.h"

#include <QString>

class QWidget;

namespace brindle {

// The fields of the replace dialog.
struct ReplaceRequest {
    QString findWhat;
    QString replaceWith;
    editing::FindOptions options;
    bool inSelection = false; // within the selection the dialog was opened on
};

// What the replace dialog's buttons do. Each answers with what the dialog
// shows under its fields (empty: nothing to say).
class ReplaceActions {
public:
    virtual ~ReplaceActions() = default;
    virtual QString FindNext(const ReplaceRequest& request) = 0;
    // Replaces the selection when it is a match, then finds the next one.
    virtual QString Replace(const ReplaceRequest& request) = 0;
    virtual QString ReplaceAll(const ReplaceRequest& request) = 0;
};

// Shows the replace dialog modally, filled from `last`, until the user closes
// it; its buttons go to `actions`. "Within the selection" can be ticked only
// when `selection` says there is one. Returns the fields as the user left
// them. Tests hand in a double that presses the buttons itself.
class ReplaceDialogService {
public:
    virtual ~ReplaceDialogService() = default;
    virtual ReplaceRequest Show(QWidget* parent, const ReplaceRequest& last, bool selection,
                                ReplaceActions& actions) = 0;
};

ReplaceDialogService& DefaultReplaceDialogService();

} // namespace brindle
