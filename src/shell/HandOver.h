#pragma once

#include "fileutil/FileResult.h"

#include <QString>

#include <chrono>

namespace mv::shell {

class AppSettings;
class InstanceChannel;

// The "hWnd" value names the running first copy: its process id as decimal text.

// First copy, at load: writes `pid` as the marker.
void claimInstanceMarker(AppSettings& settings, qint64 pid);
// First copy, at unload: removes the marker only if it still holds `pid`; a first copy that
// started after us (we having become a second instance's equal) keeps its own.
void releaseInstanceMarker(AppSettings& settings, qint64 pid);
// The marker as the store holds it now; 0 when absent or not a number.
qint64 runningInstanceId(AppSettings& settings);

// A later copy's whole hand-over: puts `file` into the "StartupImage" mailbox, makes it
// durable, and, once a first copy is named in "hWnd", asks it to show the file. The
// marker is waited for within `timeout`, as the lock's holder may be starting this very
// moment. `activationToken` (this start's, see InstanceChannel) goes with the request.
// Returns whether the first copy answered in time; when not (no marker, no answer, the
// mailbox not written), the caller shows "Can't find Mirravelnock!" and ends.
bool handStartupFileOver(AppSettings& settings, const InstanceChannel& channel, const QString& file,
                         std::chrono::milliseconds timeout, const QByteArray& activationToken = {});

} // namespace mv::shell
