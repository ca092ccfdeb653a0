// The key typed on a terminal: asked twice for encryption, never echoed.
#include "MvcryptFixture.h"

#include <csignal>
#include <string>

#include <poll.h>
#include <pty.h>

namespace {

struct TtySession {
    int exitCode = -1;
    std::string screen; // everything the terminal showed
};

bool readUntil(int fd, const std::string& want, std::string& screen)
{
    char buf[256];
    while (screen.find(want) == std::string::npos) {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            return false;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return false;
        screen.append(buf, size_t(n));
    }
    return true;
}

// Runs mvcrypt on a pseudo-terminal and answers each prompt with the next line.
TtySession runOnTty(const std::vector<std::string>& args, const QString& cwd,
                    const std::vector<std::pair<std::string, std::string>>& dialogue)
{
    TtySession s;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        if (::chdir(cwd.toLocal8Bit().constData()) != 0)
            ::_exit(120);
        std::vector<char*> argv {const_cast<char*>(MVCRYPT_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(MVCRYPT_PATH, argv.data());
        ::_exit(121);
    }
    if (pid < 0)
        return s;
    for (const auto& [prompt, answer] : dialogue) {
        if (!readUntil(master, prompt, s.screen))
            break;
        (void)!::write(master, answer.data(), answer.size());
    }
    readUntil(master, "\x04never", s.screen); // drain until the child closes the terminal
    int status = 0;
    int waited = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0 && waited++ < 2000)
        ::usleep(10000);
    if (waited > 2000) {
        // Still waiting for input it will never get: the test fails, it must not hang.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ::close(master);
    s.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    return s;
}

// A mismatch touches nothing; then the key is asked twice to encrypt, once to decrypt.
TEST_F(MvcryptTest, TypedKeyIsAskedTwiceNeverEchoedAndAMismatchTouchesNothing)
{
    writeAll(path("letter.txt"), "dear diary");
    TtySession s =
        runOnTty({"encrypt", "letter.txt"}, dir, {{"Key: ", "first-key\n"}, {"Key again: ", "other-key\n"}});
    EXPECT_EQ(s.exitCode, 1);
    EXPECT_NE(s.screen.find("the two keys differ"), std::string::npos) << s.screen;
    EXPECT_EQ(names(), QStringList {"letter.txt"});

    s = runOnTty({"encrypt", "letter.txt"}, dir,
                 {{"Key: ", "s3cret-key\n"}, {"Key again: ", "s3cret-key\n"}});
    EXPECT_EQ(s.exitCode, 0) << s.screen;
    EXPECT_EQ(s.screen.find("s3cret-key"), std::string::npos) << s.screen;
    EXPECT_EQ(names(), QStringList {"letter_txt.mv$"});

    s = runOnTty({"decrypt", "letter_txt.mv$"}, dir, {{"Key: ", "s3cret-key\n"}});
    EXPECT_EQ(s.exitCode, 0) << s.screen;
    EXPECT_EQ(s.screen.find("Key again"), std::string::npos);
    EXPECT_EQ(readAll(path("letter.txt")), QByteArray("dear diary"));
}

} // namespace
