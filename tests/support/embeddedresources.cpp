#include "support/embeddedresources.h"

// Registration functions that the resource compiler generates for the
// resource set "quimbrel_resources" linked into the program.
int qInitResources_quimbrel_resources();
int qCleanupResources_quimbrel_resources();

void WithdrawEmbeddedResources()
{
    qCleanupResources_quimbrel_resources();
}

void RestoreEmbeddedResources()
{
    qInitResources_quimbrel_resources();
}
