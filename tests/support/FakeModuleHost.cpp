#include "tests/support/FakeModuleHost.h"

#include "instrument/ParameterTable.h"

namespace testsupport {

// Indices as the instrument's table gives them, so modules find their own.
int FakeModuleHost::parameterIndex(const char* name) const {
    for (int i = 0; i < lumavox::kParameterTableSize; ++i)
        if (std::strcmp(lumavox::kParameterTable[i].name, name) == 0) return i;
    return -1;
}

}  // namespace testsupport
