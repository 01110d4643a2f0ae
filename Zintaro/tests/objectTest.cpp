// The Zintaro object as the player and scripts drive it through the DLL:
// its interfaces, its texts and presets, the colour texts, IDispatch from the
// type library, and a frame drawn through the player's interface.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>

#include "Zintaro/tests/dibCanvas.h"
#include "Zintaro/tests/zintaroHost.h"
#include "Zintaro/zintaro.h"
#include "Zintaro/zintaroLib.h"

namespace vesk::test {
namespace {

class ZintaroObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dll_.create(IID_IWMPEffects, effect_.out()), S_OK);
        ASSERT_EQ(effect_->QueryInterface(IID_IZintaro, reinterpret_cast<void**>(colour_.out())), S_OK);
    }

    testing::comApartment apartment_;
    zintaroDll dll_;
    comRef<IWMPEffects> effect_;
    comRef<IZintaro> colour_;
};

TEST_F(ZintaroObject, AnswersEveryInterfaceAsOneObject) {
    comRef<IUnknown> identity;
    ASSERT_EQ(effect_->QueryInterface(IID_IUnknown, identity.out()), S_OK);
    for (const IID* iid : {&IID_IUnknown, &IID_IWMPEffects, &IID_IZintaro, &IID_IDispatch}) {
        comRef<IUnknown> face, faceIdentity;
        ASSERT_EQ(identity->QueryInterface(*iid, face.out()), S_OK);
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, faceIdentity.out()), S_OK);
        EXPECT_EQ(faceIdentity.get(), identity.get());
    }
    void* other = &other;
    EXPECT_EQ(identity->QueryInterface(IID_IParticle, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST_F(ZintaroObject, ServerStaysLoadedWhileAnObjectLives) {
    EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);
    colour_.reset();
    effect_.reset();
    EXPECT_EQ(dll_.canUnloadNow(), S_OK);
    void* factory = &factory;
    EXPECT_EQ(dll_.classObject(CLSID_Particle, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE)
        << "the library describes Particle, the server does not make it";
}

struct textCase {
    const char* label;
    std::function<HRESULT(IWMPEffects*, BSTR*)> call;
    HRESULT expected;
    const char* text;  // "<null>" when none is handed out
};

class EffectTexts : public ZintaroObject, public ::testing::WithParamInterface<textCase> {};

TEST_P(EffectTexts, AreTheModuleStrings) {
    bstr text;
    EXPECT_EQ(GetParam().call(effect_.get(), text.out()), GetParam().expected);
    EXPECT_EQ(text.text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Zintaro, EffectTexts,
    ::testing::Values(
        textCase{"Title", [](IWMPEffects* e, BSTR* title) { return e->GetTitle(title); }, S_OK, "VeskViz"},
        textCase{"Preset0", [](IWMPEffects* e, BSTR* title) { return e->GetPresetTitle(0, title); }, S_OK, "Vesk"},
        textCase{"Preset1", [](IWMPEffects* e, BSTR* title) { return e->GetPresetTitle(1, title); }, S_OK, "Vesk Wave"},
        textCase{"Preset2", [](IWMPEffects* e, BSTR* title) { return e->GetPresetTitle(2, title); }, E_INVALIDARG,
                 "<null>"},
        textCase{"PresetMinus1", [](IWMPEffects* e, BSTR* title) { return e->GetPresetTitle(-1, title); }, E_INVALIDARG,
                 "<null>"},
        textCase{"TitleWithoutOut", [](IWMPEffects* e, BSTR*) { return e->GetTitle(nullptr); }, E_POINTER, "<null>"},
        textCase{"PresetTitleWithoutOut", [](IWMPEffects* e, BSTR*) { return e->GetPresetTitle(0, nullptr); },
                 E_POINTER, "<null>"},
        textCase{"ColourWithoutOut",
                 [](IWMPEffects* e, BSTR*) {
                     comRef<IZintaro> colour;
                     e->QueryInterface(IID_IZintaro, colour.out());
                     return colour->get_foregroundColor(nullptr);
                 },
                 E_POINTER, "<null>"}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(ZintaroObject, AnswersItsCountsAndRefusesWhatItCannotDo) {
    LONG count = 0;
    EXPECT_EQ(effect_->GetPresetCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    DWORD capabilities = 0xFFFF;
    EXPECT_EQ(effect_->GetCapabilities(&capabilities), S_OK);
    EXPECT_EQ(capabilities, 0u);
    EXPECT_EQ(effect_->GetPresetCount(nullptr), E_POINTER);
    EXPECT_EQ(effect_->GetCapabilities(nullptr), E_POINTER);
    EXPECT_EQ(effect_->GetCurrentPreset(nullptr), E_POINTER);
    EXPECT_EQ(effect_->DisplayPropertyPage(nullptr), E_NOTIMPL);
    EXPECT_EQ(effect_->GoFullscreen(TRUE), E_NOTIMPL);
    TimedLevel levels = flatLevels(128);
    EXPECT_EQ(effect_->RenderFullScreen(&levels), E_NOTIMPL);
}

TEST_F(ZintaroObject, KeepsAPresetOnlyWhenItExists) {
    LONG preset = -1;
    ASSERT_EQ(effect_->GetCurrentPreset(&preset), S_OK);
    EXPECT_EQ(preset, 0);
    ASSERT_EQ(effect_->SetCurrentPreset(1), S_OK);
    for (LONG refused : {2L, -1L, 0x7FFFFFFFL}) {
        EXPECT_EQ(effect_->SetCurrentPreset(refused), E_INVALIDARG) << refused;
        ASSERT_EQ(effect_->GetCurrentPreset(&preset), S_OK);
        EXPECT_EQ(preset, 1);
    }
    ASSERT_EQ(effect_->SetCurrentPreset(0), S_OK);
    ASSERT_EQ(effect_->GetCurrentPreset(&preset), S_OK);
    EXPECT_EQ(preset, 0);
}

// The player asks by the documented ids, written out here as the player
// has them rather than taken from our header.
TEST_F(ZintaroObject, AnswersThePlayersEffectsIdAndNotTheExtendedOne) {
    IID effects = {}, extended = {};
    ASSERT_EQ(IIDFromString(L"{D3984C13-C3CB-48E2-8BE5-5168340B4F35}", &effects), S_OK);
    ASSERT_EQ(IIDFromString(L"{695386EC-AA3C-4618-A5E1-DD9A8B987632}", &extended), S_OK);
    comRef<IUnknown> face;
    EXPECT_EQ(effect_->QueryInterface(effects, face.out()), S_OK);
    EXPECT_NE(face.get(), nullptr);
    // The extended interface's operations are not there: answering it would
    // send the player into missing slots.
    void* other = &other;
    EXPECT_EQ(effect_->QueryInterface(extended, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST(ZintaroMediaTitle, KeepsACopyOfEachTitleItIsTold) {
    testing::comApartment apartment;
    comRef<IWMPEffects> effect;
    ASSERT_EQ(zintaro::Zintaro::create(IID_IWMPEffects, reinterpret_cast<void**>(effect.out())), S_OK);
    auto* object = static_cast<zintaro::Zintaro*>(effect.get());
    EXPECT_EQ(object->MediaTitle(), nullptr) << "none told yet";
    {
        bstr first(L"First song");
        EXPECT_EQ(effect->MediaInfo(2, 44100, first.get()), S_OK);
        EXPECT_NE(object->MediaTitle(), static_cast<const wchar_t*>(first.get())) << "a copy, not the player's";
    }
    ASSERT_NE(object->MediaTitle(), nullptr);
    EXPECT_STREQ(object->MediaTitle(), L"First song") << "kept after the player freed its own";
    bstr second(L"Second song");
    EXPECT_EQ(effect->MediaInfo(1, 22050, second.get()), S_OK);
    ASSERT_NE(object->MediaTitle(), nullptr);
    EXPECT_STREQ(object->MediaTitle(), L"Second song");
    EXPECT_EQ(effect->MediaInfo(2, 44100, nullptr), S_OK);
    EXPECT_EQ(object->MediaTitle(), nullptr) << "no title told: none kept";
}

struct colourCase {
    const wchar_t* text;  // null: no text at all
    HRESULT expected;
    const char* readBack;  // the colour after the put
};

class ColourText : public ZintaroObject, public ::testing::WithParamInterface<colourCase> {};

TEST_P(ColourText, IsParsedIntoTheColourOrRefused) {
    bstr text;
    ASSERT_EQ(colour_->get_foregroundColor(text.out()), S_OK);
    EXPECT_EQ(text.text(), "#FF0000") << "red when made";
    bstr put(GetParam().text);
    EXPECT_EQ(colour_->put_foregroundColor(GetParam().text ? put.get() : nullptr), GetParam().expected);
    ASSERT_EQ(colour_->get_foregroundColor(text.out()), S_OK);
    EXPECT_EQ(text.text(), GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(Zintaro, ColourText,
                         ::testing::Values(colourCase{L"#00ff80", S_OK, "#00FF80"},
                                           colourCase{L"X12AB3C", S_OK, "#12AB3C"},
                                           colourCase{L"#a0B1c2", S_OK, "#A0B1C2"},
                                           colourCase{L"#000000", S_OK, "#000000"},
                                           colourCase{L"#12AB3", E_INVALIDARG, "#FF0000"},
                                           colourCase{L"#12AB3C4", E_INVALIDARG, "#FF0000"},
                                           colourCase{L"#12AB3G", E_INVALIDARG, "#FF0000"},
                                           colourCase{L"# 2AB3C", E_INVALIDARG, "#FF0000"},
                                           colourCase{L"", E_INVALIDARG, "#FF0000"},
                                           colourCase{nullptr, E_POINTER, "#FF0000"}));

// ---- IDispatch ----

VARIANT textVariant(BSTR text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return value;
}

HRESULT getColour(IDispatch* dispatch, DISPID id, std::string& text) {
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    HRESULT answer = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                      nullptr, nullptr);
    if (result.vt != VT_BSTR) {
        text = "<not a string>";
        VariantClear(&result);
        return answer;
    }
    bstr taken;
    *taken.out() = result.bstrVal;  // the caller's to free
    text = taken.text();
    return answer;
}

HRESULT putColour(IDispatch* dispatch, DISPID id, const wchar_t* text) {
    bstr value(text);
    VARIANT argument = textVariant(value.get());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {&argument, &named, 1, 1};
    EXCEPINFO exception = {};
    HRESULT answer = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters,
                                      nullptr, &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return answer;
}

TEST_F(ZintaroObject, ForegroundColorIsReachedByNameThroughIDispatch) {
    comRef<IDispatch> dispatch;
    ASSERT_EQ(effect_->QueryInterface(IID_IDispatch, dispatch.out()), S_OK);
    wchar_t name[] = L"foregroundColor";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 1);

    std::string text;
    ASSERT_EQ(getColour(dispatch.get(), id, text), S_OK);
    EXPECT_EQ(text, "#FF0000");
    ASSERT_EQ(putColour(dispatch.get(), id, L"#00ff80"), S_OK);
    ASSERT_EQ(getColour(dispatch.get(), id, text), S_OK);
    EXPECT_EQ(text, "#00FF80");
    EXPECT_TRUE(FAILED(putColour(dispatch.get(), id, L"#12AB3G")));
    ASSERT_EQ(getColour(dispatch.get(), id, text), S_OK);
    EXPECT_EQ(text, "#00FF80") << "a refused text changes nothing";

    wchar_t unknown[] = L"backgroundColor";
    names[0] = unknown;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
}

// ---- Render through the player's interface ----

TEST_F(ZintaroObject, RenderRefusesMissingArgumentsAndDrawsNothing) {
    dibCanvas canvas(64, 300);
    canvas.fill(RGB(1, 2, 3));
    TimedLevel levels = flatLevels(0);
    RECT rect = canvas.rect();
    EXPECT_EQ(effect_->Render(nullptr, canvas.dc(), &rect), E_POINTER);
    EXPECT_EQ(effect_->Render(&levels, nullptr, &rect), E_POINTER);
    EXPECT_EQ(effect_->Render(&levels, canvas.dc(), nullptr), E_POINTER);
    EXPECT_EQ(canvas.colouredPixels(0, 0, 64, 300), 64 * 300);
    for (int y = 0; y < 300; y += 37)
        EXPECT_EQ(canvas.pixel(5, y), RGB(1, 2, 3));
}

TEST_F(ZintaroObject, DrawsTheLogoOnlyInTheWavePreset) {
    dibCanvas canvas(400, 300);
    TimedLevel levels = flatLevels(128);
    levels.frequency[0][0] = 0;  // the logo keeps its angle
    levels.frequency[1][8] = 0;
    levels.frequency[0][1] = 255;  // 170 x 100
    levels.frequency[0][8] = 150;
    RECT rect = canvas.rect();
    ASSERT_EQ(effect_->Render(&levels, canvas.dc(), &rect), S_OK);
    const int inBox = canvas.colouredPixels(115, 100, 170, 100);
    ASSERT_EQ(effect_->SetCurrentPreset(1), S_OK);
    canvas.fill(RGB(0, 0, 0));
    ASSERT_EQ(effect_->Render(&levels, canvas.dc(), &rect), S_OK);
    EXPECT_GT(canvas.colouredPixels(115, 100, 170, 100), inBox + 170 * 100 / 4)
        << "the logo fills a good part of its box";
}

}  // namespace
}  // namespace vesk::test
