// Resource and control ids of the sending dialogs.
#pragma once
