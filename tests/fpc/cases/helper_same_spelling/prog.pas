{$mode objfpc}{$H+}
program prog;

uses ZetaHelp, AlphaHelp;

var
  S: string = 'x';

begin
  WriteLn(S.Describe);
end.
