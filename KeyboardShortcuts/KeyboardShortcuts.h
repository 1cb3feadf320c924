#pragma once

// Everything an application uses of the library, in one include: names and their shortcuts,
// handlers and event streams, the recorder, menu-item and widget bindings, presentation, and the
// one-call set-up on the Linux desktop.
#include "KeyboardShortcuts/ConflictChecks.h"
#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/EventStream.h"
#include "KeyboardShortcuts/Key.h"
#include "KeyboardShortcuts/MenuItemBinding.h"
#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/PlatformServices.h"
#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/Recorder.h"
#include "KeyboardShortcuts/Shortcut.h"
#include "KeyboardShortcuts/ViewModifiers.h"
#include "platform/Event.h"
#include "platform/linux/DefaultPlatformServices.h"
