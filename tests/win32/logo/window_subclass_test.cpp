// The subclassing base: message routing, detaching, and the window's end.
#include <gtest/gtest.h>

#include <vector>

#include "logo/window_subclass_win32.h"

namespace {

constexpr UINT kHandled = WM_APP + 1;        // the table answers it
constexpr UINT kPassedOn = WM_APP + 2;       // the window's own procedure answers it
constexpr UINT kDestroyInside = WM_APP + 3;  // the table destroys the window while handling it
constexpr LRESULT kTableAnswer = 42;
constexpr LRESULT kOwnAnswer = 7;
constexpr char kTargetClass[] = "SubclassTestTarget";

// What reached the window's own procedure.
struct TargetLog {
    int passed_on = 0;
    int destroys = 0;
    int final_messages = 0;
} target_log;

LRESULT CALLBACK target_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case kPassedOn: ++target_log.passed_on; return kOwnAnswer;
    case WM_DESTROY: ++target_log.destroys; break;
    case WM_NCDESTROY: ++target_log.final_messages; break;
    default: break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Another subclass, installed on top with SetWindowLongPtrA by "other code".
WNDPROC outer_previous = nullptr;
int outer_calls = 0;

LRESULT CALLBACK outer_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    ++outer_calls;
    return CallWindowProcA(outer_previous, hwnd, message, wparam, lparam);
}

WNDPROC procedure_of(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

void install_outer(HWND hwnd) {
    outer_calls = 0;
    outer_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outer_procedure)));
}

void remove_outer(HWND hwnd) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outer_previous));
}

class RecordingSubclass : public WindowSubclass {
public:
    bool process_message(HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT* result,
                         DWORD table_id) override {
        EXPECT_EQ(0u, table_id);
        seen.push_back(message);
        if (message == kHandled) {
            *result = kTableAnswer;
            return true;
        }
        if (message == kDestroyInside) {
            DestroyWindow(hwnd);
            window_after_destroy = window;
            final_messages_after_destroy = final_messages;
            *result = 1;
            return true;
        }
        return false;
    }
    void on_final_message(HWND former_window) override {
        ++final_messages;
        final_window = former_window;
        procedure_at_final = procedure_of(former_window);
    }

    std::vector<UINT> seen;
    int final_messages = 0;
    HWND final_window = nullptr;
    WNDPROC procedure_at_final = nullptr;
    HWND window_after_destroy = nullptr;
    int final_messages_after_destroy = -1;
};

class LogoSubclass : public ::testing::Test {
protected:
    void SetUp() override {
        static const ATOM registered = [] {
            WNDCLASSA window_class = {};
            window_class.lpfnWndProc = target_procedure;
            window_class.hInstance = GetModuleHandleA(nullptr);
            window_class.lpszClassName = kTargetClass;
            return RegisterClassA(&window_class);
        }();
        ASSERT_NE(0, registered);
        target_log = TargetLog();
        target = CreateWindowExA(0, kTargetClass, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, target);
        own_procedure = procedure_of(target);
    }
    void TearDown() override {
        if (IsWindow(target)) DestroyWindow(target);
    }

    HWND target = nullptr;
    WNDPROC own_procedure = nullptr;
};

TEST_F(LogoSubclass, RoutesToTheTableFirstAndToThePreviousProcedureOtherwise) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    EXPECT_EQ(target, subclass.window);
    EXPECT_EQ(own_procedure, subclass.previous_procedure);
    EXPECT_NE(own_procedure, procedure_of(target));

    EXPECT_EQ(kTableAnswer, SendMessageA(target, kHandled, 0, 0));
    EXPECT_EQ(kOwnAnswer, SendMessageA(target, kPassedOn, 0, 0));
    EXPECT_EQ((std::vector<UINT>{kHandled, kPassedOn}), subclass.seen);
    EXPECT_EQ(1, target_log.passed_on);  // the handled message never reached it

    EXPECT_EQ(target, subclass.detach(FALSE));
    EXPECT_EQ(nullptr, subclass.window);
    EXPECT_EQ(own_procedure, procedure_of(target));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcA), subclass.previous_procedure);
    EXPECT_EQ(0, SendMessageA(target, kHandled, 0, 0));  // the table is out of the way
    EXPECT_EQ(2u, subclass.seen.size());
    EXPECT_EQ(nullptr, subclass.detach(FALSE));  // nothing left to detach
}

TEST_F(LogoSubclass, AttachRefusesWhatItCannotTakeOver) {
    RecordingSubclass first;
    EXPECT_FALSE(first.attach(nullptr));
    EXPECT_EQ(nullptr, first.window);

    ASSERT_TRUE(first.attach(target));
    RecordingSubclass second;
    EXPECT_FALSE(second.attach(target));  // the window has its object already
    EXPECT_EQ(nullptr, second.window);
    EXPECT_EQ(kTableAnswer, SendMessageA(target, kHandled, 0, 0));
    EXPECT_EQ(1u, first.seen.size());
    EXPECT_TRUE(second.seen.empty());

    HWND other = CreateWindowExA(0, kTargetClass, "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    EXPECT_FALSE(first.attach(other));  // one window at a time
    EXPECT_EQ(target, first.window);
    DestroyWindow(other);
    EXPECT_EQ(target, first.detach(FALSE));
}

TEST_F(LogoSubclass, DetachIsRefusedWhileAnotherSubclassSitsOnTop) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    const WNDPROC ours = procedure_of(target);
    install_outer(target);

    EXPECT_EQ(nullptr, subclass.detach(FALSE));
    EXPECT_EQ(target, subclass.window);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(outer_procedure), procedure_of(target));
    // The chain still works: outer, then ours, then the window's own.
    EXPECT_EQ(kTableAnswer, SendMessageA(target, kHandled, 0, 0));
    EXPECT_EQ(kOwnAnswer, SendMessageA(target, kPassedOn, 0, 0));
    EXPECT_EQ(2, outer_calls);
    EXPECT_EQ(2u, subclass.seen.size());

    remove_outer(target);
    EXPECT_EQ(ours, procedure_of(target));
    EXPECT_EQ(target, subclass.detach(FALSE));
    EXPECT_EQ(own_procedure, procedure_of(target));
}

TEST_F(LogoSubclass, ForcedDetachPutsThePreviousProcedureBackOverAnything) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    install_outer(target);
    EXPECT_EQ(target, subclass.detach(TRUE));
    EXPECT_EQ(own_procedure, procedure_of(target));
    EXPECT_EQ(nullptr, subclass.window);
}

TEST_F(LogoSubclass, DestroyedWindowGetsItsProcedureBackAndIsForgotten) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    DestroyWindow(target);

    EXPECT_EQ(1, target_log.destroys);        // both last messages were passed on
    EXPECT_EQ(1, target_log.final_messages);
    EXPECT_EQ(1, subclass.final_messages);
    EXPECT_EQ(target, subclass.final_window);
    EXPECT_EQ(own_procedure, subclass.procedure_at_final);
    EXPECT_EQ(nullptr, subclass.window);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcA), subclass.previous_procedure);
}

TEST_F(LogoSubclass, FinalCleanUpWaitsForTheOuterMessage) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    EXPECT_EQ(1, SendMessageA(target, kDestroyInside, 0, 0));

    // Inside the outer message the window was gone but not yet forgotten.
    EXPECT_EQ(target, subclass.window_after_destroy);
    EXPECT_EQ(0, subclass.final_messages_after_destroy);
    EXPECT_EQ(1, target_log.final_messages);
    // Once it returned, the clean-up ran.
    EXPECT_EQ(1, subclass.final_messages);
    EXPECT_EQ(target, subclass.final_window);
    EXPECT_EQ(nullptr, subclass.window);
}

TEST_F(LogoSubclass, FinalMessageLeavesASubclassOnTopInPlace) {
    RecordingSubclass subclass;
    ASSERT_TRUE(subclass.attach(target));
    install_outer(target);
    DestroyWindow(target);

    EXPECT_EQ(1, subclass.final_messages);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(outer_procedure), subclass.procedure_at_final);
    EXPECT_EQ(nullptr, subclass.window);
}

TEST_F(LogoSubclass, ObjectDestroyedWhileAttachedGivesTheWindowBack) {
    {
        RecordingSubclass subclass;
        ASSERT_TRUE(subclass.attach(target));
    }
    EXPECT_EQ(own_procedure, procedure_of(target));
    EXPECT_EQ(kOwnAnswer, SendMessageA(target, kPassedOn, 0, 0));

    // The window is free for a new object.
    RecordingSubclass next;
    EXPECT_TRUE(next.attach(target));
    EXPECT_EQ(kTableAnswer, SendMessageA(target, kHandled, 0, 0));
}

}  // namespace
