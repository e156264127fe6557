program prog;
{$mode objfpc}{$modeswitch typehelpers}
uses
  Twice, Plain;

var
  N: Integer = 21;
begin
  WriteLn(N.Doubled);
end.
