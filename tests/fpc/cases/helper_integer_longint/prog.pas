{$mode objfpc}{$H+}
program prog;

uses ZetaHelp, AlphaHelp;

var
  N: Integer = 1;

begin
  WriteLn(N.Describe);
end.
