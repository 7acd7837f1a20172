#include "library/startup.h"

int main(int argc, char** argv)
{
    return library::RunProgram(argc, argv);
}
