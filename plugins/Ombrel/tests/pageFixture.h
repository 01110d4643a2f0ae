// The manager's option pages in the fake options dialog: the manager's
// parts, the share list, and the file-system module's folder objects,
// which the pages make through the factory.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "plugins/Ombrel/driveSpace.h"
#include "plugins/Ombrel/optionPages.h"
#include "plugins/Ombrel/shareManager.h"
#include "plugins/Ombrel/tests/managerFixture.h"
#include "plugins/fs/constructs.h"
#include "plugins/fs/services.h"
#include "testing/screen/keptShots.h"

namespace vesk::ss::test {

class pageFixture : public managerFixture {
protected:
    void SetUp() override {
        managerFixture::SetUp();
        ref<Iconstruct> directories(new capsule<fs::_constructDirectory>());
        ASSERT_NE(factory->registerClass(directories.get(), 0, 0), 0u);
        ref<Iconstruct> files(new capsule<fs::_constructFile>());
        ASSERT_NE(factory->registerClass(files.get(), 0, 0), 0u);
        fs::services().factory = factory;
        fs::services().owner = token;
        shareObject = new capsule_core<CShareManager>();
        services().shareManager = shareObject;
        savedShell = PageShell();
    }
    void TearDown() override {
        PageShell() = savedShell;
        services().shareManager = nullptr;
        fs::services() = fs::moduleServices();
        managerFixture::TearDown();  // the pages go with the fake
        static_cast<IcoreObject*>(shareObject)->releaseCore();
    }

    HWND select(const std::string& title) {
        HWND page = ui.optionsDialog().select(title);
        EXPECT_NE(page, nullptr) << title;
        return page;
    }
    void press(WPARAM command) { ui.optionsDialog().press(command); }
    static void type(HWND page, int id, const std::string& text) { SetDlgItemTextA(page, id, text.c_str()); }
    static std::string textOf(HWND page, int id) {
        char text[600] = {};
        GetDlgItemTextA(page, id, text, sizeof text);
        return text;
    }
    // Other programs (and other tests) write to the disk meanwhile: the
    // free space read again may have moved by a little.
    static void expectFreeSpaceShown(const std::string& shownText, const std::string& folder) {
        double shown = 0, measured = 0;
        char shownUnit[8] = {}, measuredUnit[8] = {};
        const std::string measuredText = FreeSpaceText(folder);
        ASSERT_EQ(std::sscanf(shownText.c_str(), "%lf %7s", &shown, shownUnit), 2) << shownText;
        ASSERT_EQ(std::sscanf(measuredText.c_str(), "%lf %7s", &measured, measuredUnit), 2) << measuredText;
        EXPECT_STREQ(shownUnit, measuredUnit);
        EXPECT_NEAR(shown, measured, measured / 100 + 0.01);
    }
    static void click(HWND page, int id) { SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }
    static bool checked(HWND page, int id) {
        return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void keepShot(const std::string& name) {
        ui.optionsDialog().paint();
        vesk::testing::KeepShotWhenAsked(ui.optionsDialog().dialogWindow(), name);
    }

    CShareManager* shareObject = nullptr;
    pageShell savedShell{};
};

}  // namespace vesk::ss::test
