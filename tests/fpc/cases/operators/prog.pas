{$mode objfpc}
program prog;

uses Points, ZetaOps, AlphaOps;

var
  A, B: TPt;

begin
  A := 5;
  B := 7;
  WriteLn((A + B).X);
end.
