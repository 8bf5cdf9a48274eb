#include "app/qt/program.h"

int main(int argc, char* argv[]) {
    return ostavel::runOstavel(argc, argv, ostavel::thisEdition);
}
