program prog;

uses ZetaLib, AlphaLib, Items;

begin
  Item.Describe := 'member';
  WriteLn(Item.Describe);
end.
