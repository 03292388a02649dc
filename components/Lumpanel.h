#pragma once
// TEdgePanel: a panel whose bevels can be limited to some of its edges.

#include "components/Lumutilg.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/controls/Panel.h"

class TCustomEdgePanel : public TCustomPanel {
 public:
  explicit TCustomEdgePanel(TComponent* owner);

  TBevelEdges BevelEdges() const { return bevelEdges_; }
  void SetBevelEdges(TBevelEdges value);

 protected:
  void Paint() override;

 private:
  TBevelEdges bevelEdges_ = kAllBevelEdges;
};

class TEdgePanel : public TCustomEdgePanel {
 public:
  explicit TEdgePanel(TComponent* owner) : TCustomEdgePanel(owner) {}
  static void DeclareProperties(TClassBuilder<TEdgePanel, TCustomEdgePanel>& b);
};

void RegisterEdgePanelClasses();
