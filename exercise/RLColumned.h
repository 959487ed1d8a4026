#pragma once
// Column blocks of exercise markup: "column" puts its markup into a column
// half the page wide, "column3" into one a third wide, so that two or three
// blocks written next to each other stand side by side with equal heights.

#include <QPointer>
#include <string>

#include "exercise/RLParser.h"

// What both columns share: an inner parser that holds the markup, and the
// scoring passed on to it.
class TRLColumnBase : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLColumnBase(QObject* owner);

  TRLParser* Inner() const { return inner_; }

  // The whole tag body is markup; the column then evens out its height with
  // the columns directly before it.
  void ParseParameters(const std::string& markup) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

 protected:
  // The column's width in a parent whose client area is parentWidth wide.
  virtual int ColumnWidth(int parentWidth) const = 0;
  // How many columns of the same class, directly before this one, share its height.
  virtual int Neighbours() const = 0;

 private:
  void MatchNeighbours();
  void TakeInnerScore();

  QPointer<TRLParser> inner_;
};

// "column": half the page wide; matched with the one column before it.
class TRLColumned : public TRLColumnBase {
  Q_OBJECT

 public:
  using TRLColumnBase::TRLColumnBase;

 protected:
  int ColumnWidth(int parentWidth) const override { return parentWidth / 2 - 3; }
  int Neighbours() const override { return 1; }
};

// "column3": a third of the page wide; from the third in a row on, matched
// with the two before it.
class TRLColumned3 : public TRLColumnBase {
  Q_OBJECT

 public:
  using TRLColumnBase::TRLColumnBase;

 protected:
  int ColumnWidth(int parentWidth) const override { return parentWidth / 3 - 2; }
  int Neighbours() const override { return 2; }
};
