// The window library exports its window classes, procedures and two data
// items for programs that build on it.
#pragma once

#define DRAVIK_API __declspec(dllexport)
