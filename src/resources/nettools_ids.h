// Resource and control ids of the network tool dialogs.
#pragma once
