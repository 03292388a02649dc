#pragma once
// Component naming routines of the installer engine.

#include <QString>

class TComponent;

// Names the component base, or, while that name is taken by another component
// of the same owner, base1, base2, ... An error that another number cannot
// cure (an invalid name, a refusal of the component itself) is raised as is.
void SetUniqueName(TComponent& component, const QString& base);
