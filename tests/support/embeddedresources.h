#pragma once
// Takes the program's embedded resources away and brings them back, so that
// a test can see how a component copes with a missing resource.

void WithdrawEmbeddedResources();
void RestoreEmbeddedResources();
