program prog;
{$mode objfpc}
uses
  Pairs, PairMath;

var
  A, B, C: TPair;
begin
  A.X := 1; B.X := 2;
  C := A + B;
  WriteLn(C.X);
end.
