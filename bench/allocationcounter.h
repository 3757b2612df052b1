#pragma once

// Every heap allocation of a benchmark process is counted, so that a benchmark can show how many
// allocations a call makes. Linking this in replaces the global operator new.
long allocationCount();
