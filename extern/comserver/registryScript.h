// A registry script: the keys and string values a server writes when it is
// registered and takes away when it is unregistered, kept as text in the
// module's "REGISTRY" resource.
//
//   HKCR                                   a root: HKCR, HKLM or a long name
//   {
//       NoRemove CLSID                     kept on removal; only what the
//       {                                  script lists below it goes
//           ForceRemove {class-id} = s 'Text'   removed whole, and replaced
//           {                                   whole on registration
//               InprocServer32 = s '%MODULE%'   = s: the default value
//               {
//                   val ThreadingModel = s 'Apartment'   a named value
//               }
//               'Programmable'             quoted name: any text, no keyword
//           }
//       }
//   }
//
// Words are separated by white space, so a class id in braces is one word
// and a brace alone opens or closes a block. In quoted text '' is a quote and
// %NAME% is replaced by the caller's text for NAME. Only string values exist.
// A key without NoRemove or ForceRemove loses the script's values on
// removal and goes when nothing else is left in it: keys and values that
// others added below it stay.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vesk::comserver {

enum class removal { whenEmpty, never, whole };

struct scriptValue {
    std::wstring name;  // empty: the key's default value
    std::wstring text;
};

struct scriptKey {
    std::wstring name;
    removal rule = removal::whenEmpty;
    std::vector<scriptValue> values;
    std::vector<scriptKey> subkeys;
};

struct scriptRoot {
    HKEY root;
    std::vector<scriptKey> keys;
};

struct registryScript {
    std::vector<scriptRoot> roots;
};

// Names and their texts for %NAME% in quoted text, e.g. {"MODULE", path}.
using replacementList = std::vector<std::pair<std::string, std::wstring>>;

// The script in text (UTF-8). On failure answers false and sets error to a
// message naming the line; script is then left empty.
bool parseRegistryScript(const std::string& text, const replacementList& replacements, registryScript& script,
                         std::string& error);

}  // namespace vesk::comserver
