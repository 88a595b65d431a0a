// The picture decoder needs OLE on the thread that loads, as the setup's
// main thread has it.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace {

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

::testing::Environment* const ole_environment =
    ::testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
