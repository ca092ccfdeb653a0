// Views an encrypted picture as the window does, then crashes while the decoded picture (and
// the key) are still in memory. Arguments: the encrypted file, its key, and "guarded" to lock
// the process down first as the program does, or "open" to leave it as it is.
#include "sandbox/HelperPool.h"
#include "shell/ProcessGuard.h"
#include "viewing/PictureLoad.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    if (std::strcmp(argv[3], "guarded") == 0 && !mv::shell::lockDownProcess().ok)
        return 3;
    QCoreApplication app(argc, argv);
    mv::viewing::PictureRequest request;
    request.path = QString::fromLocal8Bit(argv[1]);
    request.listedName = QFileInfo(request.path).fileName();
    request.keys.push_back(mv::crypto::SecretText::fromBytes(argv[2], std::strlen(argv[2])));
    mv::sandbox::HelperPool decoders;
    const mv::viewing::PictureOutcome shown = mv::viewing::loadPicture(request, decoders);
    if (!shown.shown())
        return 4;
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
    return 5;
}
