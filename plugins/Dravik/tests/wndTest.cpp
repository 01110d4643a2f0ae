// The window object: class registration, creation, binding to its window,
// subclassing, parents and children, and the operations beyond the plain
// platform wrappers.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/tests/recordingWindow.h"
#include "plugins/Dravik/windowBinding.h"
#include "plugins/Dravik/wndProc.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui::test {
namespace {

const char plainClass[] = "Dravik test plain window";

HWND makeBound(VWnd& object, HWND parent = nullptr, int id = 0) {
    object.Register(plainClass, 0, nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), ___DefWindowProc);
    RECT place = {10, 10, 210, 110};
    DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    return parent ? object.Create(plainClass, parent, place, "child", style, 0, static_cast<UINT>(id), nullptr)
                  : object.Create(plainClass, nullptr, &place, "top", style, 0, nullptr, nullptr);
}

TEST(Window, AClassNameIsRegisteredOnceWithTheLibrarysDefaultStyle) {
    held<VWnd> object;
    ATOM first = object->Register("Dravik test class once", 0, nullptr, nullptr, nullptr, ___DefWindowProc);
    ASSERT_NE(first, 0);
    ATOM second =
        object->Register("Dravik test class once", CS_HREDRAW, nullptr, nullptr, nullptr, ___DefWindowProc);
    EXPECT_EQ(second, first);
    WNDCLASSEXA registered = {};
    registered.cbSize = sizeof(registered);
    // No instance of its own yet: the class is the program's.
    HINSTANCE instance = object->GetModuleInstance() ? object->GetModuleInstance() : ::GetModuleHandleA(nullptr);
    ASSERT_TRUE(::GetClassInfoExA(instance, "Dravik test class once", &registered));
    EXPECT_EQ(registered.style, UINT(CS_DBLCLKS | CS_CLASSDC)) << "registered once, with style 0 as 0x48";
    EXPECT_EQ(VWnd::m_mWndClasses["Dravik test class once"], first);
    EXPECT_EQ(object->Register(nullptr, 0, nullptr, nullptr, nullptr, ___DefWindowProc), 0);
}

TEST(Window, CreatingWithoutARectangleTakesThePlatformsDefaultPlaceAndSize) {
    held<VWnd> object;
    object->Register(plainClass, 0, nullptr, nullptr, nullptr, ___DefWindowProc);
    HWND made = object->Create(plainClass, nullptr, static_cast<RECT*>(nullptr), "default", WS_OVERLAPPEDWINDOW, 0,
                               nullptr, nullptr);
    ASSERT_NE(made, nullptr);
    RECT r;
    ::GetWindowRect(made, &r);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
    EXPECT_EQ(object->GetHandle(), made);
    EXPECT_EQ(ObjectOfWindow(made), static_cast<IWnd*>(object.get()));
    EXPECT_EQ(object->DestroyWindow(), 1);
    EXPECT_EQ(object->GetHandle(), nullptr);
    EXPECT_EQ(object->DestroyWindow(), 0);
}

TEST(Window, AnObjectGoneBeforeItsWindowClearsTheWindowsSlot) {
    auto* object = new capsule<recordingWindow>();
    static_cast<IWnd*>(object)->addRef();
    HWND made = object->Make();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(made, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(static_cast<IWnd*>(object)));
    static_cast<IWnd*>(object)->release();
    EXPECT_EQ(::GetWindowLongPtrA(made, GWLP_USERDATA), 0);
    // Messages now get the default processing only.
    EXPECT_TRUE(::SetWindowTextA(made, "still works"));
    pump();
    ::DestroyWindow(made);
}

TEST(Window, ASlotWrittenByAnyoneElseIsNeverTakenForAnObject) {
    held<recordingWindow> object;
    HWND made = object->Make();
    ASSERT_NE(made, nullptr);
    object->recording = true;
    ::SetWindowLongPtrA(made, GWLP_USERDATA, 0x1234);
    object->heard.clear();
    ::SendMessageA(made, WM_USER, 0, 0);
    ::SendMessageA(made, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
    EXPECT_TRUE(object->heard.empty());
    EXPECT_EQ(ObjectOfWindow(made), nullptr);
    object->recording = false;
    ::DestroyWindow(made);
}

TEST(Window, TheObjectLetsGoOfTheHandleWhenThePlatformDestroysTheWindow) {
    held<VWnd> parent, child;
    HWND top = makeBound(*parent);
    HWND inside = makeBound(*child, top, 7);
    ASSERT_NE(inside, nullptr);
    ::DestroyWindow(top);
    EXPECT_EQ(parent->GetHandle(), nullptr);
    EXPECT_EQ(child->GetHandle(), nullptr);
}

TEST(Window, AttachAndDetach) {
    held<VWnd> first, second;
    HWND made = makeBound(*first);
    ASSERT_NE(made, nullptr);
    // Another object takes over the window's messages; the old slot value
    // comes back.
    EXPECT_EQ(first->Attach(second.get()), reinterpret_cast<LONG_PTR>(static_cast<IWnd*>(first.get())));
    EXPECT_EQ(ObjectOfWindow(made), static_cast<IWnd*>(second.get()));
    EXPECT_EQ(first->SetWindowClassPtr(first.get()), reinterpret_cast<LONG_PTR>(static_cast<IWnd*>(second.get())));
    EXPECT_EQ(first->Detach(), made);
    EXPECT_EQ(first->GetHandle(), nullptr);
    EXPECT_EQ(ObjectOfWindow(made), static_cast<IWnd*>(first.get())) << "Detach leaves the slot";
    second->Attach(static_cast<HWND>(nullptr));
    EXPECT_EQ(second->GetHandle(), nullptr) << "not a window: nothing";
    second->Attach(made);
    EXPECT_EQ(second->GetHandle(), made);
    EXPECT_EQ(ObjectOfWindow(made), static_cast<IWnd*>(second.get()));
    ::DestroyWindow(made);
}

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 5) {
        auto* count = reinterpret_cast<int*>(::GetPropA(window, "count"));
        ++*count;
        return 77;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT answerEverything(HWND, UINT, WPARAM, LPARAM) { return 1; }

TEST(Window, ASubclassedWindowsOwnProcedureSeesEveryMessageAndAnswers) {
    WNDCLASSA own = {};
    own.lpfnWndProc = countingProcedure;
    own.hInstance = ::GetModuleHandleA(nullptr);
    own.lpszClassName = "Dravik test own procedure";
    ::RegisterClassA(&own);
    HWND window = ::CreateWindowExA(0, own.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    own.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int count = 0;
    ::SetPropA(window, "count", &count);
    held<VWnd> object;
    object->Attach(window);
    EXPECT_EQ(object->SubclassWindowProc(___DefSubclassWindowProc), countingProcedure);
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&answerEverything), 0);
    object->AddMessageHook(hook);
    EXPECT_EQ(::SendMessageA(window, WM_USER + 5, 0, 0), 77) << "the previous procedure gives the answer";
    EXPECT_EQ(count, 1) << "even though a hook answered first";
    object->RemoveMessageHook(hook);
    ::RemovePropA(window, "count");
    ::DestroyWindow(window);
}

TEST(Window, ADescendantDeeperWithTheSameIdWinsOverTheDirectChild) {
    held<VWnd> top, child, grandchild, other;
    HWND topWindow = makeBound(*top);
    HWND direct = makeBound(*child, topWindow, 5);
    HWND deeper = makeBound(*grandchild, direct, 5);
    HWND elsewhere = makeBound(*other, topWindow, 9);
    ASSERT_TRUE(topWindow && direct && deeper && elsewhere);
    EXPECT_EQ(top->GetDescendantWindow(5), deeper);
    EXPECT_EQ(top->GetDescendantWindow(9), elsewhere);
    EXPECT_EQ(top->GetDescendantWindow(3), nullptr);
    ::DestroyWindow(topWindow);
}

bool holdsChild(VWnd& parent, IWnd* child) {
    std::vector<IWnd*> children = parent.ChildObjects();
    return std::find(children.begin(), children.end(), child) != children.end();
}

TEST(Window, ParentsKnowTheirChildObjects) {
    held<VWnd> first, second, child;
    HWND one = makeBound(*first), two = makeBound(*second);
    HWND inside = makeBound(*child, one, 3);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(child->GetParentClass(), static_cast<IWnd*>(first.get()));
    EXPECT_TRUE(holdsChild(*first, child.get()));
    EXPECT_EQ(child->SetParent(two), one);
    EXPECT_FALSE(holdsChild(*first, child.get()));
    EXPECT_TRUE(holdsChild(*second, child.get()));
    EXPECT_EQ(child->GetParentClass(), static_cast<IWnd*>(second.get()));
    ::DestroyWindow(inside);
    EXPECT_FALSE(holdsChild(*second, child.get())) << "a destroyed child leaves its parent's map";
    ::DestroyWindow(one);
    ::DestroyWindow(two);
}

TEST(Window, StyleAndSizeOperations) {
    held<VWnd> object;
    HWND made = makeBound(*object);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(object->ModifyStyle(0, WS_OVERLAPPEDWINDOW, 0), FALSE) << "unchanged";
    EXPECT_EQ(object->ModifyStyle(WS_MAXIMIZEBOX, 0, SWP_FRAMECHANGED), TRUE);
    EXPECT_EQ(object->GetStyle() & WS_MAXIMIZEBOX, 0u);
    EXPECT_EQ(object->GetStyle(DWORD(5)), DWORD(5));

    ASSERT_TRUE(object->ResizeClient(300, 120, TRUE));
    EXPECT_EQ(object->GetWidth(), 300);
    EXPECT_EQ(object->GetHeight(), 120);
    ASSERT_TRUE(object->ResizeClient(-1, 80, TRUE));
    EXPECT_EQ(object->GetWidth(), 300) << "-1 keeps the width";
    EXPECT_EQ(object->GetHeight(), 80);

    object->DragAcceptFiles(TRUE);
    EXPECT_EQ(object->GetExStyle() & WS_EX_ACCEPTFILES, 0u) << "has no effect";
    ::DestroyWindow(made);
}

TEST(Window, AChildIsCentredInItsParentsClientArea) {
    held<VWnd> parent, child;
    HWND top = makeBound(*parent);
    parent->ResizeClient(400, 300, TRUE);
    HWND inside = makeBound(*child, top, 1);
    ::MoveWindow(inside, 0, 0, 100, 50, TRUE);
    ASSERT_TRUE(child->CenterWindow(nullptr));
    RECT r = rectIn(inside, top);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 125);
    // Larger than the parent: kept to its left and top edges.
    ::MoveWindow(inside, 0, 0, 500, 400, TRUE);
    ASSERT_TRUE(child->CenterWindow(nullptr));
    r = rectIn(inside, top);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    ::DestroyWindow(top);
}

TEST(Window, RectangleConversionsCoverBothCorners) {
    held<VWnd> parent;
    HWND top = makeBound(*parent);
    RECT r = {1, 2, 30, 40};
    RECT screen = r;
    ASSERT_TRUE(parent->ClientToScreen(&screen));
    POINT origin = {0, 0};
    ::ClientToScreen(top, &origin);
    EXPECT_EQ(screen.left, 1 + origin.x);
    EXPECT_EQ(screen.bottom, 40 + origin.y);
    ASSERT_TRUE(parent->ScreenToClient(&screen));
    EXPECT_TRUE(::EqualRect(&screen, &r)) << describe(screen);
    ::DestroyWindow(top);
}

}  // namespace
}  // namespace vesk::ui::test
