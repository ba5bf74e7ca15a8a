#include "manager/ui/Harbrook.h"

int main(int argc, char **argv)
{
    return HarbrookMain(argc, argv);
}
