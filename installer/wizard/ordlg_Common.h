#pragma once
// What the windows of the install run share: their form files in the
// wizard's resources.

// Makes the wizard's form files readable (once; the library is static).
void InitWizardFormResources();

// Registers the copy-progress, status, disk-prompt and end-page classes
// for setup scripts.
void RegisterRunWindowClasses();
