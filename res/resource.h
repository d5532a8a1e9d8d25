// Resource IDs shared by the resource script and the program.
#pragma once

#define IDI_TAVIX 1
