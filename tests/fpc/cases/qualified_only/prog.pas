program prog;

uses ZetaLib, AlphaLib;

begin
  WriteLn(ZetaLib.Describe);
  WriteLn(AlphaLib.Describe);
end.
