// mvdecode: the decoder helper. The program starts a few of these ahead and hands each one
// picture at a time; every decoder the viewer has runs here, locked down by the kernel, and
// never in the program that holds the keys. Not a command for users: it needs the socket the
// program gives it as descriptor 3.
#include "sandbox/helper/HelperMain.h"

int main(int argc, char** argv)
{
    return mv::sandbox::runHelper(argc, argv, mv::sandbox::realDecoders());
}
