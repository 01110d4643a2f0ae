// Settings text figures: the XML builder joining a settings document of
// many lines (a full host cache is tens of thousands), against the first
// way, which appended each line to the buffer and so copied the whole text
// at every line. Prints the figures; asserts nothing.
//   settingsBench [keys]     (default 20000)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/stopwatch.h"
#include "core/buffer.h"
#include "core/capsule.h"
#include "core/constructs.h"
#include "core/factory.h"
#include "plugins/Quillet/xmlBuilder.h"
#include "vesk/data.h"

using namespace vesk;

namespace {

using bench::seconds;

// The lines of a settings document with one group of `lines` keys, each
// shaped like a cached host's entry.
std::vector<std::string> settingsLines(unsigned lines) {
    std::vector<std::string> out;
    out.push_back("<vesk_settings>\n");
    out.push_back("\t<zUdoradur>\n");
    for (unsigned i = 0; i < lines; ++i) {
        std::string key = "Gnutella_HostCache" + std::to_string(i);
        out.push_back("\t\t<" + key + ">(string)198.18." + std::to_string(i % 256) + "." +
                      std::to_string(i / 256 % 256) + "%3A6346</" + key + ">\n");
    }
    out.push_back("\t</zUdoradur>\n");
    out.push_back("</vesk_settings>\n");
    return out;
}

// The first way: one append per line.
double appendedLineByLine(const std::vector<std::string>& lines, unsigned* size) {
    double start = seconds();
    ref<Ibuffer> joined(newBuffer(nullptr, 0));
    for (const std::string& line : lines)
        joined->append(line.data(), static_cast<int>(line.size()));
    *size = joined->resize(0);
    return seconds() - start;
}

double builderJoin(xml::xmlBuilder& builder, unsigned* size) {
    double start = seconds();
    ref<Ibuffer> joined(builder.getBuffer());
    *size = joined ? joined->resize(0) : 0;
    return seconds() - start;
}

void fill(xml::xmlBuilder& builder, unsigned lines) {
    builder.reset();
    builder.openElement("vesk_settings");
    builder.openElement("zUdoradur");
    for (unsigned i = 0; i < lines; ++i) {
        std::string key = "Gnutella_HostCache" + std::to_string(i);
        std::string text = "(string)198.18." + std::to_string(i % 256) + "." + std::to_string(i / 256 % 256) +
                           "%3A6346";
        builder.addElement(key.c_str(), text.c_str());
    }
    builder.closeElement("zUdoradur");
    builder.closeElement("vesk_settings");
}

}  // namespace

int main(int argc, char** argv) {
    unsigned most = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20000;
    auto* factoryObject = new capsule_core<factory>();
    if (!registerCoreClasses(factoryObject)) {
        std::printf("the core classes could not be registered\n");
        return 1;
    }
    {
        capsule_core<xml::xmlBuilder> builder(factoryObject, nullptr);
        std::printf("settings text of N keys: the builder's join against one append per line\n");
        for (unsigned lines = most / 8; lines <= most && lines > 0; lines *= 2) {
            fill(builder, lines);
            unsigned ourSize = 0, firstSize = 0;
            double ours = builderJoin(builder, &ourSize);
            double first = appendedLineByLine(settingsLines(lines), &firstSize);
            std::printf("  %6u keys, %8u bytes: join %8.2f ms, one append per line %9.2f ms (%u bytes), %.0fx\n", lines,
                        ourSize, ours * 1e3, first * 1e3, firstSize, ours > 0 ? first / ours : 0.0);
        }
    }
    static_cast<IcoreObject*>(factoryObject)->releaseCore();
    return 0;
}
