#include "QmlTest.h"

int main(int argc, char** argv)
{
    return musical_test::RunQtTests(argc, argv);
}
