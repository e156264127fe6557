unit PairMath;
{$mode objfpc}
interface
uses
  Pairs;
operator + (const A, B: TPair): TPair;
implementation
operator + (const A, B: TPair): TPair; begin Result.X := A.X + B.X; end;
end.
