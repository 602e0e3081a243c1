#include <iostream>

#include "tools/gamegen/cli.h"

int main(int argc, char** argv)
{
    return velmora::gamegen_main(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
