#pragma once

// Marks the host stand-in's API: visible across the shared-library boundary, so
// that type information, vtables and singletons are the host's one copy.
#define HOST_API __attribute__((visibility("default")))
