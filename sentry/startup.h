// startup: the start-up window. Its load step is the locker's start-up sequence: the kind of run,
// the logon-prompt check, the single copy, the screen-saver state, the cover and the login dialog
// (or, in the networked edition, the data-file download with this window as its status display).
#pragma once

#include "platform/qt/Form.h"

class QLabel;

namespace hg::sentry {

class Locker;

class startup : public Form {
    Q_OBJECT
public:
    explicit startup(Locker& locker);

    QLabel* Label1;
    QLabel* lblStatus;

protected:
    void onLoad() override;
    void onUnload() override;

private:
    // Where the networked edition's download of the data files starts; it shows the login dialog
    // when the last file has arrived.
    void startDownload();

    Locker& locker_;
};

}  // namespace hg::sentry
